# Installs the models file, asks bvcam what the library now answers, and
# uninstalls again, checking that nothing of the install is left.
# Variables: WINE (loader), DEMO (folder with bvsetup, bvcam and models.ini).
cmake_minimum_required(VERSION 3.25)

function(run expected_rc expected_output)
    execute_process(COMMAND ${WINE} ${ARGN} WORKING_DIRECTORY ${DEMO}
        OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
    if(NOT rc EQUAL expected_rc OR NOT out MATCHES "${expected_output}")
        message(FATAL_ERROR "${ARGN}: exit ${rc} (wanted ${expected_rc})\n${out}${err}\n"
            "wanted output matching: ${expected_output}")
    endif()
    message(STATUS "${ARGN}: ok")
endfunction()

run(0 "installed Brivant350.*installed Brivant200.*installed Brivant500" bvsetup.exe install models.ini)
run(0 "0x70323030  Brivant 200 +RS-232C \n0x70333036  Brivant 350 +RS-232C USB\n0x70353030  Brivant 500 +USB"
    bvcam.exe models)
run(0 "Port: com2, 57600 baud \\(result 0x00000000\\)" bvcam.exe port --default --model 0x70323030 --kind serial)
run(0 "Port: com1, 115200 baud \\(result 0x00000000\\)" bvcam.exe port --default)
run(1 "Port: none \\(port type 0\\) \\(result 0x0a00008b\\)" bvcam.exe port --last --model 0x70323030 --kind usb)
run(0 "Camera: Brivant 350" bvcam.exe info --port com1)
run(0 "Port: com1, 115200 baud \\(result 0x00000000\\)" bvcam.exe port --last)
run(0 "uninstalled" bvsetup.exe uninstall models.ini)
run(1 "" bvcam.exe models)
run(0 "result 0x0900000b" bvcam.exe port --last)
