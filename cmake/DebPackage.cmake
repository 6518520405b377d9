# The Debian package of the command line, written by CPack (scripts/package.sh
# runs it): wavoss-split_<version>_<arch>.deb with the program, its compressed
# manual page (cli/CMakeLists.txt), its bash completion and the files Debian
# asks of every package in /usr/share/doc. Depends comes from dpkg-shlibdeps.
include(GNUInstallDirs)

set(WAVOSS_DEB_MAINTAINER "Wavoss developers <wavoss@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

install(FILES "${CMAKE_SOURCE_DIR}/packaging/wavoss-split.bash"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions"
        RENAME wavoss-split)

set(WAVOSS_VERSION "${PROJECT_VERSION}")
# The build's time, or SOURCE_DATE_EPOCH where a reproducible build sets it.
string(TIMESTAMP WAVOSS_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(doc_gen "${CMAKE_BINARY_DIR}/packaging")
configure_file("${CMAKE_SOURCE_DIR}/packaging/changelog.in" "${doc_gen}/changelog" @ONLY)
execute_process(COMMAND gzip -9nc changelog WORKING_DIRECTORY "${doc_gen}"
                OUTPUT_FILE "${doc_gen}/changelog.gz" RESULT_VARIABLE gzip_result)
if(NOT gzip_result EQUAL 0)
  message(FATAL_ERROR "gzip could not compress the changelog")
endif()
install(FILES "${CMAKE_SOURCE_DIR}/packaging/copyright" "${doc_gen}/changelog.gz"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/wavoss-split")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wavoss-split)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${WAVOSS_DEB_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "cut WAV files into pieces by length, markers, pauses, parts or size")
# Lines of the long description, each shorter than 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "wavoss-split cuts PCM WAV files (also Broadcast Wave and RF64) into"
       "consecutive pieces: of one length, at the markers a recorder wrote, in"
       "equal parts or within a size limit, each cut moved back into a pause if"
       "asked. Every piece is a complete WAV file, named after its source with a"
       "three-digit number or by a template (label, start, time, date). A dry run"
       "shows the plan, also as CSV. Folders are searched for WAV files and"
       "mirrored under the output folder. No sample is lost, duplicated or"
       "altered, and the sources are only ever read.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
