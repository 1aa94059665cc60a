# Sources of the transform engine, added to halvex's objects by ../halvex.cmake.
set(HALVEX_ENGINE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/variants.cpp)
