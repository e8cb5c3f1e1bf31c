# The size report's second executable: the product's setup (same entry point, resources and
# deployment) linked with everything the finished program will reach, so the size budget can be
# judged before the install flow and the skinned window call it all. Built only when asked for.
nexvale_add_setup_executable(VandrelSetup-full-link product)
target_sources(VandrelSetup-full-link PRIVATE ${CMAKE_CURRENT_LIST_DIR}/size_probe/FullLinkReferences.cpp)
target_link_libraries(VandrelSetup-full-link PRIVATE nexvale_setup_flow nexvale_download nexvale_tool
                                                     nexvale_analytics nexvale_skin_ui)
set_target_properties(VandrelSetup-full-link PROPERTIES EXCLUDE_FROM_ALL TRUE)
