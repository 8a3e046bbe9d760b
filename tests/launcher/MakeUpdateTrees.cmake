# Writes the trees that InterruptedUpdateTest works on, each once: the old
# data folder OUT/old and the staged update OUT/staged, by GENERATOR run with
# PYTHON. A tree already there is kept. A tree is written under a provisional
# name and renamed only when whole, so that a cut-off run never leaves a part
# of one that would pass for all of it.
function(write_tree name seed)
    set(tree ${OUT}/${name})
    if(IS_DIRECTORY ${tree})
        return()
    endif()
    file(REMOVE_RECURSE ${tree}.partial)
    execute_process(COMMAND ${PYTHON} ${GENERATOR} --seed ${seed} --browser= ${tree}.partial
                    COMMAND_ERROR_IS_FATAL ANY)
    file(RENAME ${tree}.partial ${tree})
endfunction()

write_tree(old 1)
write_tree(staged 2)
