# The registry and file-system platform layers of setup: the Win32 calls on
# Windows, the hive file and POSIX stand-ins on Linux. Included from the
# platform folder's CMakeLists.txt (or by the engine when that is missing).
if(NOT TARGET setup_platform_sys)
  set(sys_dir ${CMAKE_CURRENT_LIST_DIR})
  if(WIN32)
    add_library(setup_platform_sys STATIC ${sys_dir}/win32/registry.cpp ${sys_dir}/win32/fs.cpp)
    target_link_libraries(setup_platform_sys PUBLIC advapi32)
  else()
    add_library(setup_platform_sys STATIC ${sys_dir}/posix/registry.cpp ${sys_dir}/posix/hive.cpp
                ${sys_dir}/posix/fs.cpp)
  endif()
  target_include_directories(setup_platform_sys PUBLIC ${sys_dir}/..)
  project_target_options(setup_platform_sys)
endif()
