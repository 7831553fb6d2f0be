# The host's interfaces and the host-call helpers: headers shared by the driver and the
# reference host.
add_library(vnhost INTERFACE)
target_include_directories(vnhost INTERFACE ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(vnhost INTERFACE ole32 oleaut32 uuid)
