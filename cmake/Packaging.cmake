# SPDX-License-Identifier: MIT
# A Debian package of what `cmake --install` puts in place. The libraries it needs are found by
# dpkg-shlibdeps; the Japanese font is named by hand because nothing links against it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME logwarden)
set(CPACK_PACKAGE_VENDOR "The Logwarden developers")
set(CPACK_PACKAGE_CONTACT "The Logwarden developers <logwarden@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Logwarden watches one log file and shows its last lines in a small\n\
Japanese-language window. It reads only a bounded window at the end of the\n\
file, re-reads it as soon as the file changes, and never writes to the file\n\
it watches.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, fonts-symbola")
# Japanese captions on the standard dialog buttons.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)

# The copyright and changelog files every Debian package carries.
set(changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/changelog > ${changelog_gz}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/changelog
  VERBATIM)
add_custom_target(logwarden_changelog ALL DEPENDS ${changelog_gz})
install(FILES cmake/debian/copyright ${changelog_gz}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/logwarden)

include(CPack)
