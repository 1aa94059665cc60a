/* A caller linked against an installed halvex: (3, 1) forward is (4, 2). */
#include <halvex.h>
#include <stdio.h>

int main(void) {
    const float re[2] = {3, 1}, im[2] = {0, 0};
    float reOut[2] = {0, 0}, imOut[2] = {1, 1};
    kfxcrFftNip(re, im, reOut, imOut, 1, HALVEX_FORWARD);
    printf("consumer: (%g%+gi, %g%+gi)\n", reOut[0], imOut[0], reOut[1], imOut[1]);
    return !(reOut[0] == 4 && reOut[1] == 2 && imOut[0] == 0 && imOut[1] == 0);
}
