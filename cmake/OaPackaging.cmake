# `cpack -G DEB` in a build folder: oa-client_<version>_<arch>.deb with the client component
# (programs, modules, resources, desktop files). The demo server stays out of it; it installs
# with `cmake --install <build> --component demo`.
set(CPACK_PACKAGE_NAME "oa-client")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "OA client developers <oa-client@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "OA phone client in a desktop window")
# dpkg shows the lines as they are: each under 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Signs in to the mobile interface of an office-automation (OA) server and\n"
       "shows its e-mail, notices, news, workflow, schedule, work diary, file\n"
       "cabinets, address book and chat in a phone-sized window. oa-cli does the\n"
       "same from a shell.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL client)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "net")
# dpkg-shlibdeps reads what the programs and the modules link (Qt, the web engine, PDF and
# Multimedia among them). libcurl and libcrypto are opened by name with the first request, so
# no linked library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4, libssl3")
# The Chinese texts need a CJK font; the stock dialogs' own texts come from Qt's translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, qt6-translations-l10n")

include(CPack)
