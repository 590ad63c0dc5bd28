# Installs the launcher's directory into a fresh prefix and checks the bundle layout there.
# Run with -DBUILD_DIR=<launcher binary dir> -DPREFIX=<empty folder>.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(
    COMMAND "${CMAKE_COMMAND}" "-DCMAKE_INSTALL_PREFIX=${PREFIX}" -P "${BUILD_DIR}/cmake_install.cmake"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "install failed: ${result}")
endif()

set(contents "${PREFIX}/lib/vantrel/Vantrel.app/Contents/Library/LoginItems/VantrelHelper.app/Contents")
if(NOT EXISTS "${contents}/MacOS/VantrelHelper" OR IS_DIRECTORY "${contents}/MacOS/VantrelHelper")
    message(FATAL_ERROR "no executable at ${contents}/MacOS/VantrelHelper")
endif()
file(READ "${contents}/Info.plist" plist)
foreach(expected
        "<key>CFBundleIdentifier</key>\n\t<string>com.corvane.vantrelhelper</string>"
        "<key>CFBundleName</key>\n\t<string>VantrelHelper</string>"
        "<key>CFBundleExecutable</key>\n\t<string>VantrelHelper</string>"
        "<key>LSBackgroundOnly</key>\n\t<true/>")
    string(FIND "${plist}" "${expected}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "Info.plist lacks ${expected}")
    endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
