# -*- coding: utf-8 -*-
# Copyright (c) Vantor
# MIT License (https://spdx.org/licenses/MIT.html)

"""What the collection's modules share: finding vantor-mic on the managed host, running it
with --json and turning its messages into a task's message. The tool decides everything
about microphones and their rules; these helpers only translate."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json

TOOL = 'vantor-mic'

# The tool's exit statuses (vantor-mic --help).
SUCCESS = 0
DIFFERS = 6

# Options every module takes, as vantor-mic takes them.
PORT_ARGUMENTS = dict(
    port=dict(type='list', elements='str'),
    timeout=dict(type='int'),
)


def find_tool(module):
    """The path of vantor-mic on the managed host, or a failed task that says what to do."""
    path = module.get_bin_path(TOOL)
    if path is None:
        module.fail_json(
            msg='vantor-mic is not installed on this host (not found in PATH): install the '
                'vantor-mic package (Debian: vantor-mic) and run the task again')
    return path


def port_options(params, with_all=False):
    """--port for each port named, --all, and --timeout, in the tool's words."""
    options = []
    for port in params.get('port') or []:
        options.extend(['--port', port])
    if with_all and params.get('all'):
        options.append('--all')
    if params.get('timeout') is not None:
        options.extend(['--timeout', str(params['timeout'])])
    return options


def tool_message(stderr):
    """The tool's messages (`vantor-mic: TEXT` lines) as one line; a line that ends in a
    colon introduces the next, as "no microphone answered:" does."""
    text = ''
    for line in stderr.splitlines():
        line = line.strip()
        if line.startswith(TOOL + ':'):
            line = line[len(TOOL) + 1:].strip()
        if not line:
            continue
        if not text:
            text = line
        elif text.endswith(':'):
            text += ' ' + line
        else:
            text += '; ' + line
    return text


def run_tool(module, tool, arguments, data=None):
    """Runs vantor-mic --json ARGUMENTS (an argument list, never a shell); returns its exit
    status, its JSON document (None when it printed none), its message and its stderr."""
    rc, out, err = module.run_command([tool, '--json'] + arguments, data=data)
    document = None
    if out.strip():
        try:
            document = json.loads(out)
        except ValueError as error:
            module.fail_json(msg='vantor-mic printed no JSON document: %s' % error, rc=rc,
                             stdout=out, stderr=err)
    message = tool_message(err)
    if not message and rc != SUCCESS:
        message = 'vantor-mic ended with exit status %d' % rc
    return rc, document, message, err
