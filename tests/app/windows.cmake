# The Windows installer end to end, under Wine on a private Xvfb (windows_e2e.sh).
stowaway_add_installer(installer_nopage
  SETUP vexil_qm_trial.exe=$<TARGET_FILE:vexil_qm_trial>
  DEPENDS vexil_qm_trial)

stowaway_test(installer_windows_e2e_test installer_windows_e2e_test.cpp LIBS)
target_compile_definitions(installer_windows_e2e_test PRIVATE
  STOWAWAY_INSTALLER="$<TARGET_PROPERTY:installer,INSTALLER_FILE>"
  STOWAWAY_INSTALLER_NOPAGE="$<TARGET_PROPERTY:installer_nopage,INSTALLER_FILE>")
add_dependencies(installer_windows_e2e_test installer installer_nopage)
# Replaces the plain registration: the test needs an X server for Wine's windows.
set_tests_properties(installer_windows_e2e_test PROPERTIES DISABLED TRUE)
add_test(NAME installer_windows_e2e
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/windows_e2e.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
          $<TARGET_FILE:installer_windows_e2e_test>)
set_tests_properties(installer_windows_e2e PROPERTIES TIMEOUT 300 FIXTURES_REQUIRED wine RUN_SERIAL TRUE)
