# halvex: frame and engine. Included by fftlib/CMakeLists.txt.
#
#   halvex_objects   OBJECT library: frame + engine sources (PIC, hidden visibility)
#   halvex           the shared library: libhalvex.so (exports only kfxcrFftNip,
#                    version script) or halvex.dll (exports only kfxcrFftNip, .def)
#   halvex_internal  static library of the same objects for the project's own
#                    tests and tools (never exported from the shared library)
include(${CMAKE_CURRENT_LIST_DIR}/engine/engine.cmake)

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
target_include_directories(halvex_objects PUBLIC ${HALVEX_FRAME_DIR} ${CMAKE_CURRENT_LIST_DIR})
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
target_include_directories(halvex PRIVATE ${HALVEX_FRAME_DIR} ${CMAKE_CURRENT_LIST_DIR})
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
target_include_directories(halvex_internal PUBLIC ${HALVEX_FRAME_DIR} ${CMAKE_CURRENT_LIST_DIR})
project_target_options(halvex_internal)

# --- Windows: a caller that declares the export __stdcall with six arguments
# and links through the import library (built, for tests/fftlib_frame/
# check_dll_exports.sh and for runs on Windows) ---
if(WIN32)
  add_executable(halvex-stdcall-caller ${HALVEX_FRAME_DIR}/stdcall_caller.cpp)
  target_link_libraries(halvex-stdcall-caller PRIVATE halvex)
  project_target_options(halvex-stdcall-caller)
endif()
