# The publisher's COM-facing units (options, publish run, offset map export), compiled into
# nivratesk_objects beside components/CNivraPublisher.cpp; the text store and grid format
# they use are plain C++ in driver_core.
file(GLOB NIVRATESK_PUBLISHER_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/Publish*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OffsetMapExport*.cpp)
