# Installing the game as a Linux desktop expects it (GNU directories): the
# game in bin, its forged Data in share/corsavel, the desktop entry, the
# hicolor icons the forge drew and the AppStream metadata; CPack turns the
# same rules into a .deb (cpack -G DEB).
include(GNUInstallDirs)

set(CORSAVEL_APP_ID org.corsavel.Corsavel)
set(CORSAVEL_RELEASE_DATE "2026-12-08" CACHE STRING "Date of this version's release (metadata)")
set(CORSAVEL_LICENSE "LicenseRef-proprietary" CACHE STRING "SPDX licence of the game (metadata)")
configure_file(${CMAKE_SOURCE_DIR}/packaging/${CORSAVEL_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${CORSAVEL_APP_ID}.metainfo.xml @ONLY)

if(TARGET corsavel)
  install(TARGETS corsavel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The game looks for its data at ../share/corsavel from its executable;
  # the data keeps the icons too, as the window's icon.
  install(DIRECTORY ${CMAKE_BINARY_DIR}/Data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/corsavel
          PATTERN "*.tmp" EXCLUDE)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/Data/icons/hicolor
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/${CORSAVEL_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${CORSAVEL_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corsavel)
set(CPACK_PACKAGE_VENDOR "The Corsavel developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Corsavel developers <corsavel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "casual match-three puzzle game with treasures")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Swap treasures into lines of three and fill the gold box.\n 100 levels in 12 stages, an adventure mode against the clock and a\n puzzle mode, played with the mouse in a window or in full screen.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries' packages from the executable's links (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Mesa's drivers: the game draws with OpenGL and needs some GL driver.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)

if(CORSAVEL_TESTS AND TARGET corsavel AND NOT CORSAVEL_SANITIZE)
  # The desktop entry and the metadata pass their validators; the .deb
  # installs into a scratch root and the installed game shows its first frame.
  # (Not in the sanitizer build: a package is made from the normal build.)
  add_test(NAME package
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/package/package_test.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_SOURCE_DIR}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(package PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300
    ENVIRONMENT "SDL_AUDIODRIVER=dummy;MESA_GL_VERSION_OVERRIDE=2.1")
endif()
if(CORSAVEL_TESTS AND TARGET corsavel)
  add_test(NAME e2e_game_command_line
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/e2e/game_command_line.sh $<TARGET_FILE:corsavel>
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(e2e_game_command_line PROPERTIES TIMEOUT 120
    ENVIRONMENT "SDL_AUDIODRIVER=dummy;MESA_GL_VERSION_OVERRIDE=2.1")
  if(TARGET corsavel-harness)
    add_test(NAME e2e_record_replay
      COMMAND sh ${CMAKE_SOURCE_DIR}/tests/e2e/record_replay.sh
              $<TARGET_FILE:corsavel-harness> $<TARGET_FILE:corsavel>
              ${CMAKE_SOURCE_DIR}/tests/e2e/record_replay_session.txt
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(e2e_record_replay PROPERTIES TIMEOUT 300
      ENVIRONMENT "SDL_AUDIODRIVER=dummy;MESA_GL_VERSION_OVERRIDE=2.1")
    add_test(NAME e2e_large_display
      COMMAND sh ${CMAKE_SOURCE_DIR}/tests/e2e/large_display.sh $<TARGET_FILE:corsavel-harness>
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(e2e_large_display PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77
      ENVIRONMENT "SDL_AUDIODRIVER=dummy;MESA_GL_VERSION_OVERRIDE=2.1")
  endif()
endif()
