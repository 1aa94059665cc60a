# Sources of the transform engine, added to halvex's objects by ../halvex.cmake.
# Each variantN.cpp compiles the shared kernel sources (*.inc) once with that
# variant's constants; per-variant compile flags (instruction sets) go on those
# files only.
set(HALVEX_ENGINE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/variants.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tables.cpp
    ${CMAKE_CURRENT_LIST_DIR}/variant0.cpp
    ${CMAKE_CURRENT_LIST_DIR}/variant1.cpp
    ${CMAKE_CURRENT_LIST_DIR}/variant2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/variant3.cpp
    ${CMAKE_CURRENT_LIST_DIR}/variant4.cpp
    ${CMAKE_CURRENT_LIST_DIR}/variant5.cpp)
# The vector variants' bodies for 256-bit AVX and 512-bit AVX-512F registers,
# on x86-64 (on 32-bit x86 the 128-bit bodies stay the only ones). Their
# results are the 128-bit bodies' bit for bit only as long as every product
# and sum is rounded on its own: no contraction into fused multiply-adds.
# -mavx512f also lets the compiler pick AVX2 instructions, so the dispatch
# binds a 512-bit body only where the processor has AVX2 as well
# (check_wide_isa.sh pins what each body holds).
set(HALVEX_AVX_SOURCES ${CMAKE_CURRENT_LIST_DIR}/variant4_avx.cpp ${CMAKE_CURRENT_LIST_DIR}/variant5_avx.cpp)
set(HALVEX_AVX512_SOURCES ${CMAKE_CURRENT_LIST_DIR}/variant4_avx512.cpp ${CMAKE_CURRENT_LIST_DIR}/variant5_avx512.cpp)
set(HALVEX_WIDE_SOURCES ${HALVEX_AVX_SOURCES} ${HALVEX_AVX512_SOURCES})
if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  list(APPEND HALVEX_ENGINE_SOURCES ${HALVEX_WIDE_SOURCES})
  set_source_files_properties(${HALVEX_AVX_SOURCES} PROPERTIES COMPILE_OPTIONS "-mavx;-ffp-contract=off")
  set_source_files_properties(${HALVEX_AVX512_SOURCES} PROPERTIES COMPILE_OPTIONS "-mavx512f;-ffp-contract=off")
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/variants.cpp PROPERTIES
    COMPILE_DEFINITIONS HALVEX_WIDE_BODIES=1)
  if(WIN32)
    # GCC for 64-bit Windows does not align the stack to 32 or 64 bytes for
    # the registers it spills, yet spills them with aligned moves; the
    # assembler makes every such move an unaligned one, which costs nothing
    # on aligned data.
    set_property(SOURCE ${HALVEX_WIDE_SOURCES} APPEND PROPERTY COMPILE_OPTIONS "-Wa,-muse-unaligned-vector-move")
  endif()
endif()
# On 32-bit x86 the processor may lack SSE: only the vector variants get the
# instruction sets (variant 4 SSE, variant 5 SSE2), and they realign the stack
# for their vector spills, since 32-bit callers guarantee only 4 bytes. Their
# few scalar float operations (the 4-point transform) use SSE too, not the
# x87's wider registers, so that they round as on x86-64: the vector variants
# give the same bits on both. On x86-64 SSE2 is the baseline and no flag is
# needed.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/variant4.cpp PROPERTIES
    COMPILE_OPTIONS "-msse;-mfpmath=sse;-mstackrealign")
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/variant5.cpp PROPERTIES
    COMPILE_OPTIONS "-msse2;-mfpmath=sse;-mstackrealign")
endif()
# GCC turns the vector kernels' short copy loops (a staged column's streams,
# 512 bytes each) into memcpy calls or string moves, whose start-up cost on
# such short runs made the large transforms a tenth slower; the loops stay as
# written. (Clang builds only the checking configurations here.)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/variant5.cpp ${CMAKE_CURRENT_LIST_DIR}/variant4.cpp
    ${HALVEX_WIDE_SOURCES} APPEND PROPERTY COMPILE_OPTIONS "-fno-tree-loop-distribute-patterns")
endif()
