#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright (c) Vantor
# MIT License (https://spdx.org/licenses/MIT.html)

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: settings
short_description: Set the function keys of Vantor table-top microphones
version_added: 1.0.0
description:
  - Brings the microphones on the managed host to the settings wanted, the function key each
    of the three buttons sends and whether the microphone mutes when not push-to-talk.
  - Runs C(vantor-mic) on the managed host, which reads each microphone, checks the wanted
    settings against the rules, writes them only when something differs and verifies them by
    reading them back. The module only translates; C(vantor-mic) decides.
  - Settings not named keep the microphone's values. A backup document (I(content) or I(path))
    names all four.
  - The task fails with C(vantor-mic)'s message when the rules refuse the settings (nothing is
    written), when no microphone answers, when several answer and neither I(port) nor I(all)
    chooses, or when what is read back differs from what was written.
author:
  - Vantor maintainers (!UNKNOWN)
requirements:
  - C(vantor-mic) 1.0 or later on the managed host, in C(PATH)
notes:
  - For POSIX hosts. On Windows hosts run C(vantor-mic.exe) with M(ansible.windows.win_command);
    see the collection's README.
options:
  centre:
    description:
      - The key the centre button sends, C(F1) to C(F12) in any case. It cannot be switched off.
    type: raw
  left:
    description:
      - The key the left button sends, C(F1) to C(F12) in any case, or C(off).
      - An unquoted C(off), which YAML reads as C(false), means C(off) too.
    type: raw
  right:
    description:
      - The key the right button sends, C(F1) to C(F12) in any case, or C(off).
      - An unquoted C(off), which YAML reads as C(false), means C(off) too.
    type: raw
  mute:
    description:
      - Whether the microphone mutes when not push-to-talk.
    type: bool
  content:
    description:
      - A backup document as C(vantor-mic backup) writes it, as text or as data (for example
        from C(lookup('ansible.builtin.file', 'mic.json')) on the controller). Its firmware is
        not compared; C(vantor-mic) warns when it differs.
      - Mutually exclusive with I(path) and the single settings.
    type: raw
  path:
    description:
      - A backup document on the managed host.
      - Mutually exclusive with I(content) and the single settings.
    type: path
  port:
    description:
      - The serial ports to use (device paths), one or a list. Without it, the ports present.
      - A port named that gives no microphone fails the task.
    type: list
    elements: str
  all:
    description:
      - Work on every microphone that answers. Without it, several microphones fail the task
        unless I(port) names them.
    type: bool
    default: false
  timeout:
    description:
      - The longest wait in milliseconds for a microphone's next answer (C(vantor-mic --timeout)).
    type: int
attributes:
  check_mode:
    description: Reports what would be written and writes nothing (C(vantor-mic set --dry-run),
      or C(vantor-mic check) for a backup document).
    support: full
  diff_mode:
    description: The settings of each microphone before and after, by port.
    support: full
  platform:
    description: POSIX hosts with C(vantor-mic).
    support: full
    platforms: posix
seealso:
  - module: vantor.microphone.info
'''

EXAMPLES = r'''
- name: The buttons send F8, nothing and F2; no mute
  vantor.microphone.settings:
    centre: F8
    left: 'off'
    right: F2
    mute: false

- name: Only the left button, on the microphone at a given port
  vantor.microphone.settings:
    port: /dev/ttyACM0
    left: F3

- name: Every microphone on the host as in a backup document kept on the controller
  vantor.microphone.settings:
    all: true
    content: "{{ lookup('ansible.builtin.file', 'files/desk-microphone.json') }}"

- name: A backup document already on the host, on two named microphones
  vantor.microphone.settings:
    port:
      - /dev/ttyACM0
      - /dev/ttyACM1
    path: /etc/vantor/microphone.json
'''

RETURN = r'''
changed:
  description: Whether a microphone was written (in check mode, whether one would be).
  returned: always
  type: bool
port:
  description: The microphone's port, when exactly one was worked on.
  returned: when one microphone was worked on
  type: str
  sample: /dev/ttyACM0
firmware:
  description: The microphone's firmware version, when exactly one was worked on.
  returned: when one microphone was worked on
  type: str
  sample: '1.2'
before:
  description: The settings the microphone held, when exactly one was worked on.
  returned: when one microphone was worked on
  type: dict
  sample: {"centre": "F8", "left": "off", "right": "F2", "mute": false}
after:
  description: The settings it holds now (in check mode, would hold), when exactly one was
    worked on.
  returned: when one microphone was worked on
  type: dict
  sample: {"centre": "F8", "left": "F3", "right": "F2", "mute": false}
microphones:
  description: Each microphone worked on.
  returned: when vantor-mic reached a microphone
  type: list
  elements: dict
  contains:
    port:
      description: The microphone's port.
      type: str
    firmware:
      description: Its firmware version.
      type: str
    before:
      description: The settings it held.
      type: dict
    after:
      description: The settings it holds now (in check mode, would hold).
      type: dict
    changed:
      description: Whether it was written (in check mode, would be).
      type: bool
refusals:
  description: What the rules refused, per port; nothing was written then.
  returned: when the rules refused
  type: list
  elements: dict
  sample: [{"port": "/dev/ttyACM0", "refusal": "F8 is already set for centre"}]
problems:
  description: Ports that gave no microphone, with what stands in the way and the remedies.
  returned: when vantor-mic reported any
  type: list
  elements: dict
rc:
  description: The exit status of vantor-mic (see C(vantor-mic --help)).
  returned: on failure
  type: int
  sample: 3
'''

import json

from ansible.module_utils.basic import AnsibleModule
from ansible.module_utils.common.collections import is_string

from ansible_collections.vantor.microphone.plugins.module_utils.vantor_mic import (
    DIFFERS, PORT_ARGUMENTS, SUCCESS, find_tool, port_options, run_tool)

BUTTONS = ('centre', 'left', 'right')
SINGLE_SETTINGS = BUTTONS + ('mute',)


def button_word(value):
    # YAML reads an unquoted off as false; the tool refuses anything it does not know.
    if isinstance(value, bool):
        return 'off' if value is False else 'on'
    return str(value)


def assignments(params):
    words = []
    for name in BUTTONS:
        if params[name] is not None:
            words.append('%s=%s' % (name, button_word(params[name])))
    if params['mute'] is not None:
        words.append('mute=%s' % ('on' if params['mute'] else 'off'))
    return words


def document_text(content):
    # Ansible turns text that looks like JSON into data on its way to the module.
    if is_string(content):
        return content
    return json.dumps(content)


def checked_microphone(entry):
    """A `check` entry in the words of `set`: what it holds, and would hold."""
    after = dict(entry['holds'])
    after.update(entry['wanted'])
    return dict(port=entry['port'], firmware=entry['firmware'], before=entry['holds'],
                after=after, changed=not entry['matches'], written=False)


def microphones(document, checked):
    if checked:
        return [checked_microphone(entry) for entry in document.get('microphones', [])]
    return [dict(port=entry['port'], firmware=entry['firmware'], before=entry['before'],
                 after=entry['after'], changed=entry['changed'], written=entry['written'])
            for entry in document.get('microphones', [])]


def main():
    argument_spec = dict(
        centre=dict(type='raw'),
        left=dict(type='raw'),
        right=dict(type='raw'),
        mute=dict(type='bool'),
        content=dict(type='raw'),
        path=dict(type='path'),
        all=dict(type='bool', default=False),
    )
    argument_spec.update(PORT_ARGUMENTS)
    module = AnsibleModule(
        argument_spec=argument_spec,
        mutually_exclusive=[('content', 'path')] + [
            (source, name) for source in ('content', 'path') for name in SINGLE_SETTINGS],
        required_one_of=[SINGLE_SETTINGS + ('content', 'path')],
        supports_check_mode=True,
    )
    params = module.params
    tool = find_tool(module)
    options = port_options(params, with_all=True)

    data = None
    from_document = params['content'] is not None or params['path'] is not None
    checked = from_document and module.check_mode
    if from_document:
        source = params['path'] if params['path'] is not None else '-'
        if params['content'] is not None:
            data = document_text(params['content'])
        # restore has no dry run: check compares the document and writes nothing.
        arguments = ['check' if checked else 'restore'] + options + [source]
    else:
        arguments = ['set'] + options + (['--dry-run'] if module.check_mode else [])
        arguments += assignments(params)

    rc, document, message, stderr = run_tool(module, tool, arguments, data)
    document = document or {}
    mics = microphones(document, checked)
    if module.check_mode:
        changed = any(mic['changed'] for mic in mics)
    else:
        # Changed only when something was written.
        changed = any(mic['written'] for mic in mics)

    result = dict(changed=changed, microphones=mics)
    if len(mics) == 1:
        for key in ('port', 'firmware', 'before', 'after'):
            result[key] = mics[0][key]
    for key in ('refusals', 'problems'):
        if document.get(key):
            result[key] = document[key]
    if module._diff:
        result['diff'] = dict(before=dict((mic['port'], mic['before']) for mic in mics),
                              after=dict((mic['port'], mic['after']) for mic in mics))
    for warning in document.get('warnings', []):
        module.warn(warning)

    if rc == SUCCESS or (checked and rc == DIFFERS):
        module.exit_json(**result)
    # Not on success: Ansible takes any rc other than 0 for a failure, and check's 6 is none.
    module.fail_json(msg=message, rc=rc, stderr=stderr, **result)


if __name__ == '__main__':
    main()
