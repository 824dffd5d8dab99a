# Builds TARGET in BUILD_DIR and passes only if linking fails on each of the
# calls outside the subset, named as undefined symbols.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET}
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE result)
if(result EQUAL 0)
  message(FATAL_ERROR "${TARGET} linked: calls outside the subset would reach the page")
endif()
foreach(symbol glBegin glEnd glDrawArrays gluOrtho2D glutSolidCube)
  if(NOT output MATCHES "undefined symbol: ${symbol}")
    message(FATAL_ERROR "${TARGET} did not fail on ${symbol}:\n${output}")
  endif()
endforeach()
