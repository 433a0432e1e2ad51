# What players install, made by `cpack` in a build folder: on Windows a portable ZIP (the program
# with its puzzles, sounds and README.txt in one folder), elsewhere a .deb for Debian and Ubuntu
# that installs under /usr with its menu entry and icons and declares the libraries it needs.
set(CPACK_PACKAGE_NAME orvanta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvanta developers")
set(CPACK_PACKAGE_CONTACT "Orvanta maintainers <maintainers@users.noreply.c-seed-355e4757.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "accessible phrase-guessing game played by keyboard and speech")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # One ZIP per bitness, named for it: orvanta-VERSION-windows-x64.zip, ...-windows-x86.zip.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME orvanta-${PROJECT_VERSION}-windows-${ORVANTA_WINDOWS_ARCH})
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME zip_package
             COMMAND ${CMAKE_SOURCE_DIR}/tests/package/check_zip.sh ${CMAKE_BINARY_DIR}
                     ${ORVANTA_WINDOWS_ARCH} ${CMAKE_CROSSCOMPILING_EMULATOR})
    set_tests_properties(zip_package PROPERTIES LABELS package TIMEOUT 300)
  endif()
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The libraries come from dpkg-shlibdeps; the speech service is what screen readers speak
  # through, and the game's own voice needs only its library.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "speech-dispatcher, speech-dispatcher-espeak-ng")
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Orvanta is a single-player phrase-guessing game for blind and visually
impaired players. A puzzle is a phrase shown as blanks under its category:
spin the wheel, call consonants, buy vowels and solve it. It is played from
the keyboard alone; every sentence is spoken through speech-dispatcher, the
service screen readers use, or in the game's own voice (espeak-ng), with
sound effects and message boxes the screen reader reads out.")

  # Debian wants a copyright file, a changelog and a manual page, compressed at most.
  set(ORVANTA_DEB_DOC ${CMAKE_BINARY_DIR}/deb-doc)
  file(MAKE_DIRECTORY ${ORVANTA_DEB_DOC})
  file(COPY_FILE ${CMAKE_SOURCE_DIR}/data/debian/copyright ${ORVANTA_DEB_DOC}/copyright
       ONLY_IF_DIFFERENT)
  configure_file(${CMAKE_SOURCE_DIR}/data/debian/changelog.in ${ORVANTA_DEB_DOC}/changelog @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/data/debian/orvanta.6.in ${ORVANTA_DEB_DOC}/orvanta.6 @ONLY)
  execute_process(COMMAND gzip -9nf ${ORVANTA_DEB_DOC}/changelog ${ORVANTA_DEB_DOC}/orvanta.6)
  install(FILES ${ORVANTA_DEB_DOC}/copyright ${ORVANTA_DEB_DOC}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvanta)
  install(FILES ${ORVANTA_DEB_DOC}/orvanta.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  # Why lintian's objections are overridden: see the file.
  install(FILES ${CMAKE_SOURCE_DIR}/data/debian/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME orvanta)

  # The package built from this build folder, checked by dpkg-deb and lintian, and its game run.
  find_program(ORVANTA_DPKG_DEB dpkg-deb)
  if(ORVANTA_DPKG_DEB AND NOT ORVANTA_SANITIZE)
    add_test(NAME deb_package
             COMMAND ${CMAKE_SOURCE_DIR}/tests/package/check_deb.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(deb_package PROPERTIES LABELS package TIMEOUT 300)
  endif()
endif()

include(CPack)
