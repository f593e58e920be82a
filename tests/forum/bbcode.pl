# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders each NUL-separated document of standard input with Parse::BBCode's
# default tags, and writes the HTML of each, NUL-separated, in the same order.
use strict;
use warnings;
use Parse::BBCode;

binmode STDIN, ':encoding(UTF-8)';
binmode STDOUT, ':encoding(UTF-8)';
local $/;
my $input = <STDIN>;
my $parser = Parse::BBCode->new();
print join("\0", map { $parser->render($_) } split(/\0/, $input, -1));
