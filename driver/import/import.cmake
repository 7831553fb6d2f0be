# The import side of CNivraTesk (IvnTESK slots 8-10): file list, conversion binding, field
# tree, operation and device model, the run over the ticked files.
set(NIVRATESK_IMPORT_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ImportSide.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImportFileList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImportConversion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImportFieldTree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImportOperation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImportRun.cpp)
