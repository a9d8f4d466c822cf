# Runs bvcam against the virtual camera of the serial stand-in on COM1:
# listings, single and whole-tree downloads, an upload read back byte for
# byte, deletion, and the exit codes of failures and refusals.
# Variables: WINE (loader), DEMO (folder with bvcam and the stand-ins),
# WORK (a scratch folder, emptied first).
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# Runs bvcam with the arguments; checks the exit code and that stdout and
# stderr together match the expression.
function(bvcam expected_rc expected_output)
    execute_process(COMMAND ${WINE} bvcam.exe --port com1 ${ARGN} WORKING_DIRECTORY ${DEMO}
        INPUT_FILE /dev/null OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
    if(NOT rc EQUAL expected_rc OR NOT "${out}${err}" MATCHES "${expected_output}")
        message(FATAL_ERROR "bvcam ${ARGN}: exit ${rc} (wanted ${expected_rc})\n${out}${err}\n"
            "wanted output matching: ${expected_output}")
    endif()
    set(last_output "${out}" PARENT_SCOPE)
    message(STATUS "bvcam ${ARGN}: ok")
endfunction()

function(expect_same_file a b)
    file(SHA256 ${a} hash_a)
    file(SHA256 ${b} hash_b)
    if(NOT hash_a STREQUAL hash_b)
        message(FATAL_ERROR "${a} and ${b} differ")
    endif()
endfunction()

bvcam(0 "^  CF +33554432 bytes, +[0-9]+ free\n$" vols)
bvcam(0 "^d- 10  [-0-9: ]+ +0  CF\\\\DCIM\n-- 00  2005-01-01 00:01:00 +12000  CF\\\\DCIM\\\\BRV_0001\\.JPG\n.*BRV_0002.*BRV_0003\\.JPG\n$"
    ls -r)

# One file, then every picture into a tree; both copies are the camera's bytes.
bvcam(0 "CF\\\\DCIM\\\\BRV_0001\\.JPG -> .*one\\.jpg  12000 bytes" get CF\\DCIM\\BRV_0001.JPG ${WORK}/one.jpg)
file(SIZE ${WORK}/one.jpg size)
file(READ ${WORK}/one.jpg head LIMIT 4 HEX)
if(NOT size EQUAL 12000 OR NOT head STREQUAL "ffd8ffe1")
    message(FATAL_ERROR "one.jpg: ${size} bytes starting ${head}")
endif()
bvcam(0 "BRV_0001.*BRV_0002.*BRV_0003.*\n3 pictures, 22241 bytes in " get-all ${WORK}/all)
expect_same_file(${WORK}/one.jpg ${WORK}/all/CF/DCIM/BRV_0001.JPG)
file(SIZE ${WORK}/all/CF/DCIM/BRV_0003.JPG size)
if(NOT size EQUAL 5121)
    message(FATAL_ERROR "BRV_0003.JPG: ${size} bytes")
endif()

# An upload over several chunks read back within the same connection (the
# virtual camera lives as long as the process), then deletions.
string(REPEAT "0123456789abcdef\n" 800 upload)
file(WRITE ${WORK}/upload.bin "${upload}")
bvcam(0 "upload\\.bin -> CF\\\\DCIM\\\\upload\\.bin  13600 bytes\n.*-> .*back\\.bin  13600 bytes"
    put ${WORK}/upload.bin CF\\DCIM --then get CF\\DCIM\\UPLOAD.BIN ${WORK}/back.bin)
expect_same_file(${WORK}/upload.bin ${WORK}/back.bin)
bvcam(0 "^-- 00 .* CF\\\\DCIM\\\\BRV_0003\\.JPG\n$"
    rm CF\\DCIM\\BRV_0001.JPG CF\\DCIM\\BRV_0002.JPG --then ls CF\\DCIM)

# Settings written and read back in one connection, a release whose
# picture lands in a file, and a raw message whose data (the camera echoes
# the payload) is saved.
bvcam(0 "Owner set to \"Anna\"\nClock set to 2031-02-03 04:05:06\nOwner: +Anna\nClock: +2031-02-03 04:05:06\nFirmware: +Firmware 1\\.02\nPower: +battery: normal\n.*release -> .*released\\.jpg  [1-9][0-9]* bytes"
    set owner Anna --then set clock "2031-02-03 04:05:06" --then settings --then release ${WORK}/released.jpg
    --then msg 7 aabbcc ${WORK}/message.bin)
file(READ ${WORK}/released.jpg head LIMIT 2 HEX)
file(READ ${WORK}/message.bin echo HEX)
if(NOT head STREQUAL "ffd8" OR NOT echo STREQUAL "aabbcc")
    message(FATAL_ERROR "released.jpg starts ${head}; the message's data is ${echo}")
endif()

# Failures: the camera's refusal with its explanation and no file left
# behind, wrong usage, and an erase that nobody confirmed.
bvcam(1 "bvcam: get CF\\\\DCIM\\\\NONE\\.JPG: 0x0a000022 \\(base library, FILE_NOT_FOUND\\): the camera has no such file"
    get CF\\DCIM\\NONE.JPG ${WORK}/none.jpg)
bvcam(1 "jpeg-header CF\\\\DCIM\\\\NONE\\.JPG: 0x02000022 \\(camera, FILE_NOT_FOUND\\)"
    jpeg-header CF\\DCIM\\NONE.JPG ${WORK}/header.bin)
file(GLOB leftovers ${WORK}/*.tmp ${WORK}/none.jpg ${WORK}/header.bin)
if(leftovers)
    message(FATAL_ERROR "failed downloads left files: ${leftovers}")
endif()
bvcam(2 "wrong number of arguments for put" put ${WORK}/upload.bin)
bvcam(2 "refusing to erase without --yes" wipe CF)

# A read-only picture with a new time survives the wipe of its volume.
bvcam(0 "^-r 01  2024-02-29 12:34:56 +5121  CF\\\\DCIM\\\\BRV_0003\\.JPG\n$"
    --yes chmod +r CF\\DCIM\\BRV_0003.JPG --then touch CF\\DCIM\\BRV_0003.JPG --time "2024-02-29 12:34:56"
    --then wipe CF --then ls CF\\DCIM)
