# Copies INPUT to OUTPUT and pads the copy with zero bytes at its end to
# exactly SIZE bytes. Windows ignores data behind a program's last section,
# so the padded program still starts.
file(SIZE "${INPUT}" input_size)
if(input_size GREATER SIZE)
    message(FATAL_ERROR "${INPUT} is ${input_size} bytes, more than the ${SIZE} to pad to")
endif()
file(COPY_FILE "${INPUT}" "${OUTPUT}")
execute_process(COMMAND truncate -s "${SIZE}" "${OUTPUT}" RESULT_VARIABLE failed)
file(SIZE "${OUTPUT}" output_size)
if(failed OR NOT output_size EQUAL SIZE)
    message(FATAL_ERROR "could not pad ${OUTPUT} to ${SIZE} bytes")
endif()
