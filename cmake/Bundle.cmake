# Lays a program out as NAME.app/Contents/MacOS/NAME with Contents/Info.plist beside it, in the
# build tree and, through install(), under the install prefix; the programs find each other
# through this layout.
set(VANTREL_INFO_PLIST_TEMPLATE "${CMAKE_CURRENT_LIST_DIR}/Info.plist.in")

# vantrel_add_bundle(TARGET target BUNDLE_DIR dir IDENTIFIER id NAME name INSTALL_DIR dir
#                    [BACKGROUND_ONLY])
# BACKGROUND_ONLY marks a program that never shows a window (LSBackgroundOnly).
function(vantrel_add_bundle)
    cmake_parse_arguments(ARG "BACKGROUND_ONLY" "TARGET;BUNDLE_DIR;IDENTIFIER;NAME;INSTALL_DIR" ""
        ${ARGN})
    set(BUNDLE_EXTRA_KEYS "")
    if(ARG_BACKGROUND_ONLY)
        string(APPEND BUNDLE_EXTRA_KEYS "\t<key>LSBackgroundOnly</key>\n\t<true/>\n")
    endif()
    set(BUNDLE_IDENTIFIER "${ARG_IDENTIFIER}")
    set(BUNDLE_NAME "${ARG_NAME}")
    set(BUNDLE_VERSION "${PROJECT_VERSION}")
    set(BUNDLE_EXECUTABLE "${ARG_NAME}")
    configure_file("${VANTREL_INFO_PLIST_TEMPLATE}" "${ARG_BUNDLE_DIR}/Contents/Info.plist" @ONLY)
    set_target_properties(${ARG_TARGET} PROPERTIES
        OUTPUT_NAME "${ARG_NAME}"
        RUNTIME_OUTPUT_DIRECTORY "${ARG_BUNDLE_DIR}/Contents/MacOS")
    # One install component per program, so that one bundle can be installed alone.
    install(TARGETS ${ARG_TARGET} RUNTIME DESTINATION "${ARG_INSTALL_DIR}/Contents/MacOS"
        COMPONENT "${ARG_NAME}")
    install(FILES "${ARG_BUNDLE_DIR}/Contents/Info.plist" DESTINATION "${ARG_INSTALL_DIR}/Contents"
        COMPONENT "${ARG_NAME}")
endfunction()
