/* A caller linked against an installed halvex: the four points (1, 2, 3, 4)
 * under flag sets whose results tell every transform flag apart (integers, so
 * every variant gives them exactly), between a table preparation and a release
 * with null arrays. Exit code 0 when every result is right. */
#include <halvex.h>
#include <stdio.h>

static const struct {
    int32_t flags;
    float in[4], re[4], im[4];
} cases[] = {
    {HALVEX_FORWARD, {1, 2, 3, 4}, {10, -2, -2, -2}, {0, 2, 0, -2}},
    {HALVEX_FORWARD | HALVEX_INPUT_BITREV, {1, 3, 2, 4}, {10, -2, -2, -2}, {0, 2, 0, -2}},
    {HALVEX_FORWARD | HALVEX_OUTPUT_BITREV, {1, 2, 3, 4}, {10, -2, -2, -2}, {0, 0, 2, -2}},
    {HALVEX_INVERSE, {1, 2, 3, 4}, {2.5f, -0.5f, -0.5f, -0.5f}, {0, -0.5f, 0, 0.5f}},
    {HALVEX_INVERSE | HALVEX_NO_SCALE | HALVEX_NATURAL_ORDER, {1, 2, 3, 4}, {10, -2, -2, -2}, {0, -2, 0, 2}},
};

int main(void) {
    const float zeros[4] = {0, 0, 0, 0};
    int failures = 0;
    kfxcrFftNip(NULL, NULL, NULL, NULL, 2, HALVEX_INIT_ONLY);
    for (size_t c = 0; c < sizeof cases / sizeof cases[0]; ++c) {
        float re[4], im[4];
        kfxcrFftNip(cases[c].in, zeros, re, im, 2, cases[c].flags);
        for (int k = 0; k < 4; ++k) {
            if (re[k] == cases[c].re[k] && im[k] == cases[c].im[k]) continue;
            printf("flags %d, point %d: %g%+gi, expected %g%+gi\n", (int)cases[c].flags, k, re[k], im[k],
                   cases[c].re[k], cases[c].im[k]);
            ++failures;
        }
    }
    kfxcrFftNip(NULL, NULL, NULL, NULL, 2, HALVEX_RELEASE);
    printf("consumer: %d wrong point(s)\n", failures);
    return failures != 0;
}
