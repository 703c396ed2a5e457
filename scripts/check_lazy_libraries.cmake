# Fails when the executable EXE names one of the format libraries as needed:
# those come with the format module, loaded on first use.
execute_process(COMMAND readelf -d ${EXE} OUTPUT_VARIABLE dyn RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "readelf failed on ${EXE}")
endif()
string(REGEX MATCHALL "\\[(libraw|libheif|libavif|libjxl|liblcms2)[^]]*\\]" found "${dyn}")
if(found)
  message(FATAL_ERROR "linked at start-up, not on first use: ${found}")
endif()
message(STATUS "no format library is linked into ${EXE}")
