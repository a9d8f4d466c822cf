# Runs bvcam where the platform falls short: Wine's own Sti.dll, which
# lists no devices, in a folder without the simulator's. The tool names the
# call that failed and the way out; a command that needs no port takes the
# global options before it.
# Variables: WINE (loader), DEMO (folder with bvcam), WORK (a scratch folder).
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${DEMO}/bvcam.exe ${DEMO}/bvcl2sti.dll DESTINATION ${WORK})
set(ENV{WINEDLLOVERRIDES} "sti=b")

# expected_rc is a regular expression: the models a machine has decide
# whether models succeeds.
function(bvcam expected_rc expected_output)
    execute_process(COMMAND ${WINE} bvcam.exe ${ARGN} WORKING_DIRECTORY ${WORK}
        INPUT_FILE /dev/null OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
    if(NOT rc MATCHES "^(${expected_rc})$" OR NOT "${out}${err}" MATCHES "${expected_output}")
        message(FATAL_ERROR "bvcam ${ARGN}: exit ${rc} (wanted ${expected_rc})\n${out}${err}\n"
            "wanted output matching: ${expected_output}")
    endif()
    message(STATUS "bvcam ${ARGN}: ok\n${out}${err}")
endfunction()

bvcam(1 "Still Image service \\([^)]*[Ss]ti\\.dll\\) failed: [A-Za-z:]+ returned 0x[0-9a-f]+.*still-image driver.*simulator's Sti\\.dll"
    --port usb info)
set(models "0x[0-9a-f]+ +Brivant|bvcam: no camera models are installed")
bvcam("0|1" "${models}" --port usb models)
bvcam("0|1" "${models}" --yes models)
bvcam(2 "models runs on its own" --port usb models --then info)
