# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the licence file of the Font folder: our notice on the conversion (without its own licence
# tag line), then the fonts' copyright and licence text. Called with -DNOTICE= -DCOPYRIGHT= -DOUTPUT=
file(READ "${NOTICE}" notice)
string(REGEX REPLACE "^SPDX-License-Identifier:[^\n]*\n" "" notice "${notice}")
file(READ "${COPYRIGHT}" copyright)
file(WRITE "${OUTPUT}" "${notice}${copyright}")
