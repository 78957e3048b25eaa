# The command module: frames at the far end of a pty, handshakes against a scripted display,
# the settings request. The link hands receive events to the Qt event loop, hence Qt's main.
add_executable(test_protocol_commands
    ${CMAKE_CURRENT_LIST_DIR}/CommandsMain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_CommandFrames.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_HandShake.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_GetSettings.cpp
)
target_link_libraries(test_protocol_commands PRIVATE
    vyl_protocol vyl_test_support GTest::gtest Qt6::Core OpenSSL::Crypto)
gtest_discover_tests(test_protocol_commands DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
