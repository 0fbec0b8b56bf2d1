# Writes a man page from a program's --help text, so the page lists exactly
# the options the program knows. Run with -P:
#   -DPROGRAM=path -DNAME=readersim -DSUMMARY="..." -DOUTPUT=file
execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${result}")
endif()
# troff takes a backslash as an escape and a leading dot or quote as a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(TOUPPER "${NAME}" title)
file(WRITE "${OUTPUT}" ".TH ${title} 1 \"\" \"Tagdesk\" \"User Commands\"
.SH NAME
${NAME} \\- ${SUMMARY}
.SH DESCRIPTION
.nf
${help}.fi
.SH SEE ALSO
.BR tagdesk (1)
")
