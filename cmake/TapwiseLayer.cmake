# One static library per layer, named tapwise_<layer> with the alias tapwise::<layer>.
# Sources are picked up from src/<layer>/ so that adding a file needs no CMake edit.
function(tapwise_add_layer layer)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${layer}/*.cpp)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/include/tapwise/${layer}/*.h)
  set(target tapwise_${layer})
  if(sources)
    add_library(${target} STATIC ${sources} ${headers})
    set(scope PUBLIC)
  else()
    add_library(${target} INTERFACE)
    set(scope INTERFACE)
  endif()
  add_library(tapwise::${layer} ALIAS ${target})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${layer})
  target_compile_features(${target} ${scope} cxx_std_20)
  target_include_directories(${target} ${scope}
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  foreach(dependency IN LISTS ARGN)
    target_link_libraries(${target} ${scope} tapwise_${dependency})
  endforeach()
endfunction()
