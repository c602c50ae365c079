# Installs the Slurm batch script with the path of the solver installed beside it filled in.
# Slurm runs a copy of the script from its spool directory, so the script cannot find the
# solver from its own location; it learns it here, at install time, when the prefix is known.
# Expects TESSALY_BATCH_SCRIPT (the script in the source tree), TESSALY_BATCH_COPY (a scratch
# file in the build tree), TESSALY_BINDIR and TESSALY_DATADIR (relative to the prefix).
file(READ "${TESSALY_BATCH_SCRIPT}" script)
set(marker "\ninstalled_solver=\n")
string(FIND "${script}" "${marker}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${TESSALY_BATCH_SCRIPT} has no line 'installed_solver='")
endif()
string(REPLACE "${marker}"
    "\ninstalled_solver=${CMAKE_INSTALL_PREFIX}/${TESSALY_BINDIR}/tessaly\n" script "${script}")
file(WRITE "${TESSALY_BATCH_COPY}" "${script}")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${TESSALY_DATADIR}/tessaly" TYPE PROGRAM
    FILES "${TESSALY_BATCH_COPY}")
