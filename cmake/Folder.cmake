# One static library per source folder; the sources are every .cpp/.h in it, so adding a file
# needs no edit here.
function(qv_folder_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(cpps ${srcs})
  list(FILTER cpps INCLUDE REGEX "\\.cpp$")
  if(NOT cpps)
    # A folder whose code has not been written yet still links.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# One program from every .cpp/.h of its folder.
function(qv_folder_program name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_executable(${name} ${srcs})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
endfunction()

# tests/<folder>/*_test.cpp become one GoogleTest executable <folder>_tests;
# tests/<folder>/*_bench.cpp become one Google Benchmark executable <folder>_bench (built, not run by CTest).
# Shared helpers of a folder's tests live in tests/<folder>/*.cpp without those suffixes.
function(qv_folder_tests folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${folder})
  file(GLOB tests CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  file(GLOB benches CONFIGURE_DEPENDS ${dir}/*_bench.cpp)
  file(GLOB fuzzers CONFIGURE_DEPENDS ${dir}/*_fuzz.cpp)
  file(GLOB all CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  set(helpers ${all})
  if(tests OR benches OR fuzzers)
    list(REMOVE_ITEM helpers ${tests} ${benches} ${fuzzers})
  endif()
  # tests/<folder>/*_fuzz.cpp: libFuzzer targets (LLVMFuzzerTestOneInput), built with clang and -DQV_FUZZ=ON.
  if(fuzzers AND QV_FUZZ)
    foreach(f ${fuzzers})
      get_filename_component(fname ${f} NAME_WE)
      add_executable(${fname} ${f} ${helpers})
      set_target_properties(${fname} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QV_TEST_BIN_DIR})
      target_include_directories(${fname} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
      target_compile_options(${fname} PRIVATE -fsanitize=fuzzer,address,undefined)
      target_link_options(${fname} PRIVATE -fsanitize=fuzzer,address,undefined)
      target_link_libraries(${fname} PRIVATE ${ARG_DEPS} GTest::gtest)
    endforeach()
  endif()
  if(tests)
    add_executable(${folder}_tests ${tests} ${helpers})
    set_target_properties(${folder}_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QV_TEST_BIN_DIR})
    target_include_directories(${folder}_tests PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${folder}_tests PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock Threads::Threads)
    target_compile_definitions(${folder}_tests PRIVATE
      QV_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
      QV_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
    gtest_discover_tests(${folder}_tests
      DISCOVERY_MODE PRE_TEST
      PROPERTIES TIMEOUT 300 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  if(benches AND QV_BENCHMARKS)
    find_package(benchmark REQUIRED)
    add_executable(${folder}_bench ${benches} ${helpers})
    set_target_properties(${folder}_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QV_TEST_BIN_DIR})
    target_include_directories(${folder}_bench PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${folder}_bench PRIVATE ${ARG_DEPS} benchmark::benchmark Threads::Threads)
    target_compile_definitions(${folder}_bench PRIVATE
      QV_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
      QV_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  endif()
endfunction()
