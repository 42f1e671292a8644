# Installing Varnelle, and the Debian package a teacher installs.
set(VARNELLE_PACKAGING_TESTS "${CMAKE_CURRENT_LIST_DIR}")

varnelle_add_test(packaging NAME packaging_install
    COMMAND "${VARNELLE_PACKAGING_TESTS}/install_test.sh" "${PROJECT_BINARY_DIR}" "${PROJECT_SOURCE_DIR}" "${PROJECT_VERSION}")
# Both write the install step's generated desktop entry in the build tree.
set_tests_properties(packaging_install PROPERTIES TIMEOUT 120 RESOURCE_LOCK varnelle_install)

# A sanitized binary is not what ships, and it cannot run outside the
# sanitizer's environment; the package is tested from the as-shipped build.
if(NOT VARNELLE_SANITIZE)
    varnelle_add_test(packaging NAME packaging_deb COMMAND "${VARNELLE_PACKAGING_TESTS}/deb_test.sh" "${PROJECT_BINARY_DIR}" "${PROJECT_SOURCE_DIR}" "${PROJECT_VERSION}")
    set_tests_properties(packaging_deb PROPERTIES TIMEOUT 300 RESOURCE_LOCK varnelle_install)
endif()
