# Writes the A4 ticket template from the Letter one: the same tickets, the same size, centred on
# the A4 page. The text area keeps its size, so the page's layout is unchanged; the margins take
# up the difference, and the art, placed on the page, moves with them. Distances are in
# hundredths of a point, as the art's places are written.
#   cmake -DSOURCE=ticket_template.fodt -DTARGET=ticket_template_a4.fodt -P ticket_template_a4.cmake
set(LETTER_PAGE [[fo:page-width="8.5in" fo:page-height="11in" style:print-orientation="portrait" fo:margin-top="0.32in" fo:margin-bottom="0.3in" fo:margin-left="0.55in" fo:margin-right="0.55in"]])
# A4 is 595.28 pt by 841.89 pt; Letter 612 pt by 792 pt. Half the difference in width is 8.36 pt,
# in height 24.94 pt.
set(A4_PAGE [[fo:page-width="210mm" fo:page-height="297mm" style:print-orientation="portrait" fo:margin-top="0.6664in" fo:margin-bottom="0.6465in" fo:margin-left="0.4339in" fo:margin-right="0.4339in"]])
set(SHIFT_x -836)
set(SHIFT_y 2494)

file(READ ${SOURCE} text)
string(FIND "${text}" "${LETTER_PAGE}" at)
if(at LESS 0)
    message(FATAL_ERROR "${SOURCE}: the Letter page layout is not where this script expects it")
endif()
string(REPLACE "${LETTER_PAGE}" "${A4_PAGE}" text "${text}")
string(REPLACE [[style:page-layout style:name="Letter"]] [[style:page-layout style:name="A4"]] text "${text}")
string(REPLACE [[style:page-layout-name="Letter"]] [[style:page-layout-name="A4"]] text "${text}")

# Each "svg:x" and "svg:y" of the art, moved by the shift.
foreach(axis x y)
    string(REGEX MATCHALL "svg:${axis}=\"[0-9]+\\.[0-9][0-9]pt\"" places "${text}")
    list(REMOVE_DUPLICATES places)
    set(moved_text "")
    foreach(place ${places})
        string(REGEX REPLACE "svg:${axis}=\"([0-9]+)\\.([0-9][0-9])pt\"" "\\1\\2" hundredths "${place}")
        math(EXPR hundredths "${hundredths} + ${SHIFT_${axis}}" OUTPUT_FORMAT DECIMAL)
        if(hundredths LESS 0)
            message(FATAL_ERROR "${SOURCE}: ${place} leaves the A4 page")
        endif()
        math(EXPR whole "${hundredths} / 100")
        math(EXPR part "${hundredths} % 100")
        if(part LESS 10)
            set(part "0${part}")
        endif()
        # Marked, so that a moved place is never moved again by a later, equal one.
        string(REPLACE "${place}" "svg:${axis}@=\"${whole}.${part}pt\"" text "${text}")
    endforeach()
    string(REPLACE "svg:${axis}@=" "svg:${axis}=" text "${text}")
endforeach()
file(WRITE ${TARGET} "${text}")
