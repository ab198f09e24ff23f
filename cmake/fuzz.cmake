# Fuzz targets. Each tests/<folder>/fuzz/<name>_fuzz.cpp is a libFuzzer entry function over the
# library of <folder>, with its seed corpus in tests/<folder>/fuzz/corpus/<name>/ (the test
# programs replay that corpus under any compiler).
#
# With -DORVADEX_FUZZ=ON (a clang build) this makes one fuzzer program per target and the
# target `fuzzers`. In an ordinary build, when clang++ is on the machine, such a clang build is
# made beside it as a sub-build, and each fuzzer runs as a test for a short bounded time
# (ORVADEX_FUZZ_SECONDS), new inputs going below the build folder, never into the sources.
file(GLOB orvadex_fuzz_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*/fuzz/*_fuzz.cpp)
set(ORVADEX_FUZZ_SECONDS 15 CACHE STRING "How long each fuzz test runs, in seconds")

set(orvadex_fuzzers "")
foreach(src ${orvadex_fuzz_sources})
  get_filename_component(name ${src} NAME_WE)
  get_filename_component(fuzz_dir ${src} DIRECTORY)
  get_filename_component(folder_dir ${fuzz_dir} DIRECTORY)
  get_filename_component(folder ${folder_dir} NAME)
  string(REGEX REPLACE "_fuzz$" "" corpus_name ${name})
  list(APPEND orvadex_fuzzers ${name})
  set(orvadex_fuzz_${name}_library ${folder})
  set(orvadex_fuzz_${name}_corpus ${fuzz_dir}/corpus/${corpus_name})
endforeach()

if(ORVADEX_FUZZ)
  foreach(name ${orvadex_fuzzers})
    add_executable(${name} ${CMAKE_SOURCE_DIR}/tests/${orvadex_fuzz_${name}_library}/fuzz/${name}.cpp)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${orvadex_fuzz_${name}_library} -fsanitize=fuzzer)
  endforeach()
  add_custom_target(fuzzers DEPENDS ${orvadex_fuzzers})
elseif(orvadex_fuzzers)
  find_program(ORVADEX_CLANGXX NAMES clang++)
  if(ORVADEX_CLANGXX)
    include(ExternalProject)
    set(fuzz_build ${CMAKE_BINARY_DIR}/fuzz-build)
    # Under make the sub-build is a recursive make that shares the main build's job slots;
    # elsewhere it runs with a few jobs of its own.
    if(CMAKE_GENERATOR MATCHES "Make")
      set(fuzz_build_command $(MAKE) fuzzers)
    else()
      set(fuzz_build_command ${CMAKE_COMMAND} --build ${fuzz_build} --target fuzzers --parallel 4)
    endif()
    ExternalProject_Add(orvadex_fuzz_build
      SOURCE_DIR ${CMAKE_SOURCE_DIR}
      BINARY_DIR ${fuzz_build}
      CMAKE_ARGS -DCMAKE_CXX_COMPILER=${ORVADEX_CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
                 -DORVADEX_FUZZ=ON -DORVADEX_GUI=OFF -DORVADEX_SANITIZE=address,undefined
      BUILD_COMMAND ${fuzz_build_command}
      INSTALL_COMMAND ""
      BUILD_ALWAYS ON
      EXCLUDE_FROM_ALL OFF)
    foreach(name ${orvadex_fuzzers})
      set(work ${CMAKE_BINARY_DIR}/fuzz/${name})
      file(MAKE_DIRECTORY ${work}/corpus)
      add_test(NAME fuzz.${name}
               COMMAND ${fuzz_build}/tests/${name} -max_total_time=${ORVADEX_FUZZ_SECONDS}
                       -timeout=10 -rss_limit_mb=2048 -artifact_prefix=${work}/
                       ${work}/corpus ${orvadex_fuzz_${name}_corpus}
               WORKING_DIRECTORY ${work})
      set_tests_properties(fuzz.${name} PROPERTIES TIMEOUT 300)
    endforeach()
  else()
    message(STATUS "clang++ not found: the fuzz targets are only replayed from their corpus")
  endif()
endif()
