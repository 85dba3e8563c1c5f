# The release archive, made by the 64-bit Windows build's `package` target: the plug-in module for 32-bit hosts and
# for 64-bit hosts, each in a folder that says which, the Windows command beside the module it drives, and a note
# on installing. The 32-bit module comes from the win32 preset's build, configured and brought up to date first.
set(HC_WIN32_BUILD_DIR ${PROJECT_SOURCE_DIR}/build/win32)
set(HC_COMMAND_DIR "command")

configure_file(${PROJECT_SOURCE_DIR}/docs/INSTALL.txt.in ${CMAKE_BINARY_DIR}/INSTALL.txt @ONLY NEWLINE_STYLE CRLF)

install(CODE "
  if(NOT EXISTS \"${HC_WIN32_BUILD_DIR}/CMakeCache.txt\")
    execute_process(COMMAND \"${CMAKE_COMMAND}\" --preset win32 WORKING_DIRECTORY \"${PROJECT_SOURCE_DIR}\"
                    RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR \"the win32 preset, which builds the module for 32-bit hosts, cannot be configured\")
    endif()
  endif()
  execute_process(COMMAND \"${CMAKE_COMMAND}\" --build --preset win32 --target Halcyne
                  WORKING_DIRECTORY \"${PROJECT_SOURCE_DIR}\" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR \"the module for 32-bit hosts (win32 preset) cannot be built\")
  endif()
")
install(FILES ${HC_WIN32_BUILD_DIR}/bin/Halcyne.8bf DESTINATION "32-bit hosts")
install(FILES $<TARGET_FILE:Halcyne> DESTINATION "64-bit hosts")
install(FILES $<TARGET_FILE:Halcyne> $<TARGET_FILE:halcyne> DESTINATION ${HC_COMMAND_DIR})
install(FILES ${CMAKE_BINARY_DIR}/INSTALL.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Halcyne)
set(CPACK_PACKAGE_VENDOR Corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Halcyne-${PROJECT_VERSION}-windows)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
