# The layers' install interface names CMAKE_INSTALL_INCLUDEDIR.
include(GNUInstallDirs)

# One library per layer, named tapwise_<layer> with the alias tapwise::<layer>. It is shared
# with BUILD_SHARED_LIBS and static otherwise, position-independent either way so that a
# static Tapwise can go into someone else's shared library. Sources are picked up from
# src/<layer>/ so that adding a file needs no CMake edit.
#
# The layer targets are recorded, bottom to top, in the global property TAPWISE_LAYER_TARGETS:
# the umbrella target, the install rules and the pkg-config file all take the list from there.
function(tapwise_add_layer layer)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${layer}/*.cpp)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/include/tapwise/${layer}/*.h)
  set(target tapwise_${layer})
  if(sources)
    add_library(${target} ${sources} ${headers})
    set_target_properties(${target} PROPERTIES
      POSITION_INDEPENDENT_CODE ON
      VERSION ${PROJECT_VERSION}
      # Before 1.0 a minor release may break the ABI (the package promises SameMinorVersion).
      SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}
      # A shared layer finds the layers below it beside itself, wherever it is installed.
      INSTALL_RPATH $ORIGIN)
    # Position-independent code lets the loader replace any exported function, so GCC would
    # neither inline nor fold calls between the library's own functions; none is meant to be
    # replaced (about 1.3 % more instructions per controller tick without this).
    target_compile_options(${target} PRIVATE -fno-semantic-interposition)
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
  set_property(GLOBAL APPEND PROPERTY TAPWISE_LAYER_TARGETS ${target})
endfunction()

# tapwise::tapwise, which links every layer added before the call.
function(tapwise_add_umbrella)
  get_property(layers GLOBAL PROPERTY TAPWISE_LAYER_TARGETS)
  add_library(tapwise INTERFACE)
  add_library(tapwise::tapwise ALIAS tapwise)
  target_link_libraries(tapwise INTERFACE ${layers})
endfunction()
