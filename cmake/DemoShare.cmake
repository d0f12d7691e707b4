# The build lays out the demo share in <build>/demo-share/ when that folder is absent, so a plain
# build runs out of the box and running the demo never changes tracked files.
add_custom_target(demo_share ALL
    COMMAND ${CMAKE_COMMAND}
        -DSOURCE=${CMAKE_SOURCE_DIR}/demo/share
        -DDESTINATION=${CMAKE_BINARY_DIR}/demo-share
        -P ${CMAKE_SOURCE_DIR}/cmake/PrepareDemoShare.cmake
    COMMENT "Preparing the demo share"
    VERBATIM)
