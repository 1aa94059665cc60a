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
# On 32-bit x86 the processor may lack SSE: only the vector variants get the
# instruction sets (variant 4 SSE, variant 5 SSE2), and they realign the stack
# for their vector spills, since 32-bit callers guarantee only 4 bytes. On
# x86-64 SSE2 is the baseline and no flag is needed.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/variant4.cpp PROPERTIES
    COMPILE_OPTIONS "-msse;-mstackrealign")
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/variant5.cpp PROPERTIES
    COMPILE_OPTIONS "-msse2;-mstackrealign")
endif()
# GCC turns the vector kernels' short copy loops (a staged column's streams,
# 512 bytes each) into memcpy calls or string moves, whose start-up cost on
# such short runs made the large transforms a tenth slower; the loops stay as
# written. (Clang builds only the checking configurations here.)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/variant5.cpp ${CMAKE_CURRENT_LIST_DIR}/variant4.cpp
    APPEND PROPERTY COMPILE_OPTIONS "-fno-tree-loop-distribute-patterns")
endif()
