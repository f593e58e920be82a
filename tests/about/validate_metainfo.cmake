# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# Validates the AppStream metadata METAINFO with appstreamcli: it must pass
# without a single remark. The metadata names its developer in AppStream 1.0's
# <developer> element, which the older validators (0.16, Debian 12) do not
# know yet and call an unknown tag: that one remark is allowed there.
execute_process(COMMAND appstreamcli --version
    OUTPUT_VARIABLE version_text ERROR_VARIABLE version_text)
string(REGEX MATCH "[0-9]+\\.[0-9]+(\\.[0-9]+)?" version "${version_text}")
execute_process(COMMAND appstreamcli validate --no-net ${METAINFO}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
set(remarks "${output}")
if(version VERSION_LESS 1.0)
    string(REGEX REPLACE "(^|\n)I: [^\n]*: unknown-tag developer(\n|$)" "\\1" remarks "${remarks}")
endif()
if(NOT result EQUAL 0 OR NOT output MATCHES "Validation was successful"
   OR remarks MATCHES "(^|\n)[EWI]: ")
    message(FATAL_ERROR "appstreamcli ${version} validate ${METAINFO}:\n${output}")
endif()
message(STATUS "appstreamcli ${version}: valid")
