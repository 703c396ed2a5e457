# Fails when the executable EXE names one of the format libraries as needed:
# those come with the format modules, loaded on first use (and libzip, loaded
# when the first archive is opened). The RAW module
# RAW_MODULE must not bring in the codec libraries either: a folder of RAWs
# would then wait for them.
execute_process(COMMAND readelf -d ${EXE} OUTPUT_VARIABLE dyn RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "readelf failed on ${EXE}")
endif()
string(REGEX MATCHALL "\\[(libraw|libheif|libavif|libjxl|liblcms2|libzip)[^]]*\\]" found "${dyn}")
if(found)
  message(FATAL_ERROR "linked at start-up, not on first use: ${found}")
endif()
message(STATUS "no format library is linked into ${EXE}")
if(RAW_MODULE)
  execute_process(COMMAND readelf -d ${RAW_MODULE} OUTPUT_VARIABLE dyn RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "readelf failed on ${RAW_MODULE}")
  endif()
  string(REGEX MATCHALL "\\[(libheif|libavif|libjxl)[^]]*\\]" found "${dyn}")
  if(found OR NOT dyn MATCHES "\\[libraw")
    message(FATAL_ERROR "the RAW module does not link LibRaw alone: ${found}")
  endif()
  message(STATUS "${RAW_MODULE} links LibRaw without the codecs")
endif()
