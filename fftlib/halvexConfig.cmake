# find_package(halvex): the imported target halvex::halvex, the shared library
# with include/halvex.h (on Windows halvex.dll and its import library).
include(${CMAKE_CURRENT_LIST_DIR}/halvexTargets.cmake)
