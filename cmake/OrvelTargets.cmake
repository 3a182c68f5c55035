# Shared target settings: warnings per target, sanitizers when asked for.
function(orvel_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(ORVEL_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(ORVEL_THREAD_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer -g)
    target_link_options(${target} PRIVATE -fsanitize=thread)
  endif()
  if(ORVEL_FUZZ)
    # Coverage for libFuzzer in every library; only the fuzz targets link its driver.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined -g)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# One GoogleTest executable per test folder: every *_test.cpp in it.
function(orvel_add_test_folder name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB support CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources} ${support})
  target_link_libraries(${name} PRIVATE orvel_core GTest::gtest_main ${ARGN})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE ORVEL_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
                                             ORVEL_TEST_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  orvel_target_options(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "ORVEL_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
endfunction()
