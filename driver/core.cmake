# The driver's plain C++ parts (no Windows header): the line parser and CSV columns, the
# data-file name and date, the line reader, the publisher's text store and the offset map
# format. Built for every target so native tests and sanitizers reach them.
add_library(driver_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/import/TParser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/import/CsvColumns.cpp
  ${CMAKE_CURRENT_LIST_DIR}/import/DataFileName.cpp
  ${CMAKE_CURRENT_LIST_DIR}/import/TextLines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/publisher/TextFileWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/publisher/TextStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/publisher/OffsetMapFormat.cpp)
target_include_directories(driver_core PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_features(driver_core PUBLIC cxx_std_17)
