# The setup program: the page flow and the entry point over the libraries.
add_executable(setup wizard/setup_main.cpp)
target_link_libraries(setup PRIVATE setup_wizard setup_engine setup_platform_ui setup_platform_sys setup_script)
if(WIN32)
  target_link_libraries(setup PRIVATE setup_resources)
  set_target_properties(setup PROPERTIES WIN32_EXECUTABLE ON)
  # The application manifest (RT_MANIFEST 1): common controls 6 and an
  # elevated start; only setup carries it, not the resource test programs.
  enable_language(RC)
  target_sources(setup PRIVATE resources/setup_manifest.rc)
  set_source_files_properties(resources/setup_manifest.rc PROPERTIES
    INCLUDE_DIRECTORIES ${CMAKE_CURRENT_SOURCE_DIR}/resources
    OBJECT_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/resources/setup.manifest)
endif()
project_target_options(setup)
