# tst_hidpi once more on each screen where the windows must scale: a school
# laptop too short for the quiz window, and dense screens at 125, 150 and
# 200 %, the last also too short at that density. Each file is named after
# the physical screen; the offscreen platform takes its size in logical
# pixels, the physical size divided by the ratio.
foreach(screen 1366x768 2560x1600-dpr2 3840x2160-dpr2 2880x1620-dpr1.5 2400x1350-dpr1.25)
    varnelle_add_test(widget NAME tst_hidpi_${screen} COMMAND tst_hidpi)
    set_tests_properties(tst_hidpi_${screen} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/offscreen-${screen}.json;VARNELLE_SCREEN=${screen};VARNELLE_GRABS=${PROJECT_BINARY_DIR}/grabs"
        TIMEOUT 300)
endforeach()
