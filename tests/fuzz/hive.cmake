# The registry hive reader of the Linux build (installer/platform/posix/hive.cpp).
if(NOT WIN32)
  add_fuzzer(hive ${CMAKE_CURRENT_LIST_DIR}/fuzz_hive.cpp ${CMAKE_SOURCE_DIR}/installer/platform/posix/hive.cpp)
  target_include_directories(fuzz_hive PRIVATE ${CMAKE_SOURCE_DIR}/installer)
endif()
