# The cipher service on its own: standard vectors and the conventions around the block cipher.
add_executable(test_cipher ${CMAKE_CURRENT_LIST_DIR}/test_AESCipher.cpp)
target_link_libraries(test_cipher PRIVATE vyl_cipher GTest::gtest_main)
gtest_discover_tests(test_cipher DISCOVERY_TIMEOUT 60)
