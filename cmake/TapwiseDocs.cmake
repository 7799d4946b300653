# The "docs" target: the API reference of the public headers as HTML in <build>/docs/html.
# Doxygen is optional; without it there is no such target and everything else builds.
find_package(Doxygen QUIET OPTIONAL_COMPONENTS dot)
if(NOT DOXYGEN_FOUND)
  message(STATUS "Doxygen not found: no docs target")
  return()
endif()
set(TAPWISE_DOCS_DIR ${PROJECT_BINARY_DIR}/docs)
# Class diagrams need Graphviz's dot; without it Doxygen draws none.
if(DOXYGEN_DOT_FOUND)
  set(TAPWISE_DOCS_HAVE_DOT YES)
else()
  set(TAPWISE_DOCS_HAVE_DOT NO)
endif()
configure_file(${PROJECT_SOURCE_DIR}/docs/Doxyfile.in ${TAPWISE_DOCS_DIR}/Doxyfile @ONLY)
add_custom_target(docs
  COMMAND Doxygen::doxygen ${TAPWISE_DOCS_DIR}/Doxyfile
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Writing the API reference to ${TAPWISE_DOCS_DIR}/html"
  VERBATIM)
