# The fuzz targets: NAME:SOURCE pairs, one LLVMFuzzerTestOneInput source each,
# with a seed corpus in corpus/NAME/ (and an optional dictionary in dict/NAME.dict).
# Included by every directory that needs it (no include guard: the lists are
# directory-scoped variables, so each including directory must set its own).
set(PALLETRY_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
set(PALLETRY_FUZZ_TARGETS
  xml_text:XmlTextFuzz.cpp
  reply_unwrap:ReplyUnwrapFuzz.cpp
  reply_chain:ReplyChainFuzz.cpp
  dataset_walk:DataSetWalkFuzz.cpp
  conversion:ConversionFuzz.cpp
  requests:RequestsFuzz.cpp
  line_item_validation:LineItemValidationFuzz.cpp)

# palletry_fuzz_target_names(OUT): the names alone.
function(palletry_fuzz_target_names out)
  set(names)
  foreach(pair ${PALLETRY_FUZZ_TARGETS})
    string(REPLACE ":" ";" parts ${pair})
    list(GET parts 0 name)
    list(APPEND names ${name})
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# palletry_add_fuzz_executable(EXE NAME ENGINE): ENGINE "libfuzzer" links the
# fuzzing engine (clang only), "replay" links ReplayMain.cpp (any compiler).
function(palletry_add_fuzz_executable exe name engine)
  unset(source)
  foreach(pair ${PALLETRY_FUZZ_TARGETS})
    string(REPLACE ":" ";" parts ${pair})
    list(GET parts 0 candidate)
    if(candidate STREQUAL name)
      list(GET parts 1 source)
    endif()
  endforeach()
  if(NOT source)
    message(FATAL_ERROR "no fuzz target named ${name}")
  endif()
  add_executable(${exe} ${PALLETRY_FUZZ_DIR}/${source} ${PALLETRY_FUZZ_DIR}/FuzzCheck.h)
  if(engine STREQUAL "replay")
    target_sources(${exe} PRIVATE ${PALLETRY_FUZZ_DIR}/ReplayMain.cpp)
  elseif(engine STREQUAL "libfuzzer")
    target_link_options(${exe} PRIVATE -fsanitize=fuzzer)
  else()
    message(FATAL_ERROR "unknown fuzzing engine ${engine}")
  endif()
  target_link_libraries(${exe} PRIVATE palletry_internal pugixml::pugixml Qt6::Core)
endfunction()
