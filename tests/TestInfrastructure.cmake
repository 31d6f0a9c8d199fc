# The fixtures and the local servers, for the folders that use them outside
# the test build (benchmarks, fuzz targets): made once, wherever asked first.
if(NOT TARGET qor_test_fixtures)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/fixtures ${CMAKE_BINARY_DIR}/tests/fixtures)
endif()
if(NOT TARGET qor_test_servers)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/servers ${CMAKE_BINARY_DIR}/tests/servers)
endif()
