# Takes the screenshots the AppStream metadata names, from the real game through the driver,
# in a scratch copy of the generated data: start.png (the start picture) and game.png (a game
# of the first difficulty, with a hint shown). Run as:
#   cmake -DDRIVE=<kivra-drive> -DDATA=<data folder> -DOUT=<folder> -P screenshots.cmake
set(work ${OUT}/work)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
file(COPY ${DATA}/ DESTINATION ${work})
file(WRITE ${work}/script.txt
     "time 1000\nstart\nshot ${OUT}/start.png\nkey F1\nwait 9000\nkey F5\nshot ${OUT}/game.png\nquit\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
                        ${DRIVE} script.txt
                WORKING_DIRECTORY ${work} RESULT_VARIABLE status OUTPUT_QUIET)
file(REMOVE_RECURSE ${work})
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the driver could not take the screenshots (${status})")
endif()
