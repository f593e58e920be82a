// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Renders each NUL-separated document of standard input with markdown-it set
// up as Discourse uses it (raw HTML allowed, bare addresses made links), and
// writes the HTML of each, NUL-separated, in the same order.
'use strict';
const md = require('markdown-it')({html: true, linkify: true});
const chunks = [];
process.stdin.on('data', (chunk) => chunks.push(chunk));
process.stdin.on('end', () => {
    const documents = Buffer.concat(chunks).toString('utf8').split('\0');
    process.stdout.write(documents.map((text) => md.render(text)).join('\0'));
});
