# The tables of command lines go into the test program as text, so that it
# finds them wherever it runs (under Wine too).
include_guard(GLOBAL)
function(mq_embed_cases target variable file)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  file(READ ${file} text)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${variable}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT
       "extern const char* const ${variable};\nconst char* const ${variable} = R\"mqcases(\${text})mqcases\";\n")
  target_sources(${target} PRIVATE ${source})
endfunction()
