# Shared target settings: warnings per target, sanitizers when asked for.
function(orvel_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor)
  if(ORVEL_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
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

# The headers of src/FOLDER made visible under ROOT as "FOLDER/...". A folder that holds another
# library's folder (platform/ holds platform/qt/) is exposed header by header, so that the inner
# folder stays hidden from those that do not link its library.
function(orvel_expose_folder root folder)
  set(source ${PROJECT_SOURCE_DIR}/src/${folder})
  file(GLOB entries LIST_DIRECTORIES true ${source}/*)
  set(subfolders)
  foreach(entry ${entries})
    if(IS_DIRECTORY ${entry})
      list(APPEND subfolders ${entry})
    endif()
  endforeach()
  if(NOT subfolders)
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${source} ${root}/${folder} SYMBOLIC)
    return()
  endif()
  file(MAKE_DIRECTORY ${root}/${folder})
  file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${source} ${source}/*.h)
  foreach(header ${headers})
    file(CREATE_LINK ${source}/${header} ${root}/${folder}/${header} SYMBOLIC)
  endforeach()
endfunction()

# One static library per folder of src/, from the sources its CMakeLists.txt lists, linking the
# lower layers it names in DEPENDS. Its include root holds its own folder alone, so a target
# sees exactly the folders of the libraries it links, directly or through them: an include of
# a higher folder, or of one the library does not link, fails to compile.
#   orvel_folder_library(orvel_image FOLDER image SOURCES BmpFile.cpp ... DEPENDS orvel_jpeg)
function(orvel_folder_library name)
  cmake_parse_arguments(arg "" "FOLDER" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${arg_SOURCES})
  set(root ${CMAKE_BINARY_DIR}/include/${name})
  orvel_expose_folder(${root} ${arg_FOLDER})
  target_include_directories(${name} PUBLIC ${root})
  target_link_libraries(${name} PUBLIC ${arg_DEPENDS})
  orvel_target_options(${name})
endfunction()

# One GoogleTest executable per test folder, from the *_test.cpp files it lists, linking the
# libraries it tests and the shared test support (tests/support/).
#   orvel_add_test_folder(image_tests SOURCES Bmp_test.cpp ... LIBRARIES orvel_image orvel_app)
function(orvel_add_test_folder name)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} orvel_test_support GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE ORVEL_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
                                             ORVEL_TEST_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  orvel_target_options(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "ORVEL_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
endfunction()
