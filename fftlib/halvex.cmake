# halvex: frame and engine. Included by fftlib/CMakeLists.txt.
#
#   halvex_objects   OBJECT library: frame + engine sources (PIC, hidden visibility)
#   halvex           the shared library: libhalvex.so (exports only kfxcrFftNip,
#                    version script) or halvex.dll (exports only kfxcrFftNip, .def)
#   halvex_internal  static library of the same objects for the project's own
#                    tests and tools (never exported from the shared library)
# and the install rules: the library, include/halvex.h, the CMake package
# (halvex::halvex) and halvex.pc.
include(${CMAKE_CURRENT_LIST_DIR}/engine/engine.cmake)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(HALVEX_VERSION 1.0.0)
# include/halvex.h: the callers' declarations, which the library's own include.
set(HALVEX_PUBLIC_INCLUDE_DIR ${PROJECT_SOURCE_DIR}/include)

set(HALVEX_FRAME_DIR ${CMAKE_CURRENT_LIST_DIR}/frame)
set(HALVEX_FRAME_SOURCES
  ${HALVEX_FRAME_DIR}/context.cpp
  ${HALVEX_FRAME_DIR}/errors.cpp
  ${HALVEX_FRAME_DIR}/dispatch.cpp
  ${HALVEX_FRAME_DIR}/cpuid_probe.cpp
  ${HALVEX_FRAME_DIR}/export_thunk.cpp)
if(WIN32)
  list(APPEND HALVEX_FRAME_SOURCES ${HALVEX_FRAME_DIR}/tls_win32.cpp)
else()
  list(APPEND HALVEX_FRAME_SOURCES ${HALVEX_FRAME_DIR}/tls_posix.cpp)
endif()

add_library(halvex_objects OBJECT
  ${HALVEX_FRAME_SOURCES} ${HALVEX_ENGINE_SOURCES})
set_target_properties(halvex_objects PROPERTIES
  POSITION_INDEPENDENT_CODE ON
  C_VISIBILITY_PRESET hidden
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON)
target_include_directories(halvex_objects PUBLIC ${HALVEX_FRAME_DIR} ${CMAKE_CURRENT_LIST_DIR}
  ${HALVEX_PUBLIC_INCLUDE_DIR})
project_target_options(halvex_objects)
if(NOT WIN32)
  find_package(Threads REQUIRED)
  target_link_libraries(halvex_objects PUBLIC Threads::Threads)
endif()

# --- The shared library ---
if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(HALVEX_DEF ${HALVEX_FRAME_DIR}/halvex-i686.def)
  else()
    set(HALVEX_DEF ${HALVEX_FRAME_DIR}/halvex-x86_64.def)
  endif()
  add_library(halvex SHARED ${HALVEX_FRAME_DIR}/dllmain_win32.cpp ${HALVEX_DEF}
    $<TARGET_OBJECTS:halvex_objects>)
  # halvex.dll, not libhalvex.dll; the import library stays libhalvex.dll.a.
  set_target_properties(halvex PROPERTIES PREFIX "")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The export table shows kfxcrFftNip, not kfxcrFftNip@24 ...
    target_link_options(halvex PRIVATE -Wl,--kill-at)
    # ... and the import library, made from the .def by dlltool -k, resolves
    # callers that declare the export __stdcall (_kfxcrFftNip@24) to it. (The
    # linker's own import library would only offer the undecorated symbol.)
    if(NOT CMAKE_DLLTOOL)
      find_program(CMAKE_DLLTOOL NAMES ${TOOL_PREFIX}-dlltool dlltool REQUIRED)
    endif()
    add_custom_command(TARGET halvex POST_BUILD
      COMMAND ${CMAKE_DLLTOOL} -k -d ${HALVEX_DEF} -D halvex.dll -l $<TARGET_LINKER_FILE:halvex>
      COMMENT "Import library of halvex.dll for stdcall callers"
      VERBATIM)
  endif()
  target_link_libraries(halvex PRIVATE user32 kernel32)
else()
  add_library(halvex SHARED ${HALVEX_FRAME_DIR}/load_posix.cpp $<TARGET_OBJECTS:halvex_objects>)
  set(HALVEX_VERSION_SCRIPT ${HALVEX_FRAME_DIR}/halvex.map)
  # -z nodelete: dlclose never unmaps the library, so the TLS key's destructor
  # (which releases a thread's record when the thread ends) stays callable for
  # threads that end later, and a thread racing the process's exit still finds
  # the key.
  target_link_options(halvex PRIVATE -Wl,--version-script=${HALVEX_VERSION_SCRIPT} -Wl,-z,nodelete)
  set_property(TARGET halvex APPEND PROPERTY LINK_DEPENDS ${HALVEX_VERSION_SCRIPT})
  target_link_libraries(halvex PRIVATE Threads::Threads)
endif()
set_target_properties(halvex PROPERTIES
  C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
target_include_directories(halvex PRIVATE ${HALVEX_FRAME_DIR} ${CMAKE_CURRENT_LIST_DIR}
  PUBLIC $<BUILD_INTERFACE:${HALVEX_PUBLIC_INCLUDE_DIR}> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
project_target_options(halvex)

# --- The internal static library (tests and tools) ---
# The thread-end hook (what the DLL's thread detach or the .so's key destructor
# does) is an INTERFACE source: nothing references it, so it is compiled into
# each program that links the library instead of waiting in the archive.
add_library(halvex_internal STATIC $<TARGET_OBJECTS:halvex_objects>)
if(WIN32)
  target_link_libraries(halvex_internal PUBLIC user32 kernel32)
  target_sources(halvex_internal INTERFACE ${HALVEX_FRAME_DIR}/internal_exit_win32.cpp)
else()
  target_link_libraries(halvex_internal PUBLIC Threads::Threads)
  target_sources(halvex_internal INTERFACE ${HALVEX_FRAME_DIR}/internal_exit_posix.cpp)
endif()
target_include_directories(halvex_internal PUBLIC ${HALVEX_FRAME_DIR} ${CMAKE_CURRENT_LIST_DIR}
  ${HALVEX_PUBLIC_INCLUDE_DIR})
project_target_options(halvex_internal)

# --- cmake --install BUILD --prefix DIR: what a caller builds against ---
# bin/halvex.dll with lib/libhalvex.dll.a, or lib/libhalvex.so; the header;
# lib/cmake/halvex (find_package(halvex) gives halvex::halvex); halvex.pc,
# whose paths are relative to its own folder, so the copy works wherever
# --prefix puts it.
install(TARGETS halvex EXPORT halvexTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${HALVEX_PUBLIC_INCLUDE_DIR}/halvex.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
set(HALVEX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/halvex)
install(EXPORT halvexTargets NAMESPACE halvex:: DESTINATION ${HALVEX_CMAKE_DIR})
# (The version file also refuses a copy built for another pointer size.)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/halvexConfigVersion.cmake
  VERSION ${HALVEX_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/halvexConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/halvexConfigVersion.cmake
  DESTINATION ${HALVEX_CMAKE_DIR})
file(RELATIVE_PATH HALVEX_PC_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" HALVEX_PC_PREFIX "${HALVEX_PC_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/halvex.pc.in ${CMAKE_CURRENT_BINARY_DIR}/halvex.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/halvex.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# --- Windows: a caller that includes halvex.h (__stdcall on i686, six
# arguments) and links through the import library (built, for tests/fftlib_frame/
# check_dll_exports.sh and for runs on Windows) ---
if(WIN32)
  add_executable(halvex-stdcall-caller ${HALVEX_FRAME_DIR}/stdcall_caller.cpp)
  target_link_libraries(halvex-stdcall-caller PRIVATE halvex)
  project_target_options(halvex-stdcall-caller)
endif()
