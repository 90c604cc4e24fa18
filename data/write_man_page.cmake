# cmake -DPROGRAM=<mapquill-tools> -DOUT=<file> -P write_man_page.cmake
# Writes the manual page that the program prints with --man; a failed run
# leaves no page behind.
execute_process(COMMAND ${PROGRAM} --man OUTPUT_FILE ${OUT}.new RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${OUT}.new)
  message(FATAL_ERROR "${PROGRAM} --man failed: ${status}")
endif()
file(RENAME ${OUT}.new ${OUT})
