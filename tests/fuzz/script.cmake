# fuzz_script: loadScript on arbitrary file contents (seeds: seeds/script/).
# setup_script itself is instrumented too when ENABLE_FUZZERS is on
# (installer/script/CMakeLists.txt), so coverage guides the reader's code.
add_fuzzer(script ${CMAKE_CURRENT_LIST_DIR}/fuzz_script.cpp)
target_link_libraries(fuzz_script PRIVATE setup_script)
