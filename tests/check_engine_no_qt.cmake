# Fails when a file of the engine folders includes a Qt header or names a Qt type.
file(GLOB_RECURSE engine_files
  ${SOURCE_DIR}/core/* ${SOURCE_DIR}/link/* ${SOURCE_DIR}/operations/* ${SOURCE_DIR}/images/*
  ${SOURCE_DIR}/chips/* ${SOURCE_DIR}/persistence/* ${SOURCE_DIR}/texts/*)
set(offenders "")
foreach(f IN LISTS engine_files)
  file(STRINGS ${f} hits REGEX "#include[ \t]*[<\"](Q[A-Za-z]+|Qt[A-Za-z]*/)")
  if(hits)
    list(APPEND offenders "${f}: ${hits}")
  endif()
endforeach()
if(offenders)
  message(FATAL_ERROR "Qt in the engine:\n${offenders}")
endif()
list(LENGTH engine_files count)
message(STATUS "engine files without Qt: ${count}")
