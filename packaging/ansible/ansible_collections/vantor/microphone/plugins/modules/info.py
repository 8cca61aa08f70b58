#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright (c) Vantor
# MIT License (https://spdx.org/licenses/MIT.html)

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: info
short_description: The Vantor table-top microphones on a host and their settings
version_added: 1.0.0
description:
  - Returns each microphone that answers on the managed host with its port, firmware version
    and settings, through C(vantor-mic show) on the host. Nothing is written.
  - Finding no microphone is no failure; the ports that gave none are returned in
    I(problems), with what stands in the way.
author:
  - Vantor maintainers (!UNKNOWN)
requirements:
  - C(vantor-mic) 1.0 or later on the managed host, in C(PATH)
notes:
  - For POSIX hosts. On Windows hosts run C(vantor-mic.exe show --json) with
    M(ansible.windows.win_command).
options:
  port:
    description:
      - The serial ports to look at (device paths), one or a list. Without it, the ports
        present.
    type: list
    elements: str
  timeout:
    description:
      - The longest wait in milliseconds for a microphone's next answer (C(vantor-mic --timeout)).
    type: int
attributes:
  check_mode:
    description: It changes nothing, and runs in check mode as it does otherwise.
    support: full
  diff_mode:
    description: It changes nothing, so there is nothing to show.
    support: none
  platform:
    description: POSIX hosts with C(vantor-mic).
    support: full
    platforms: posix
seealso:
  - module: vantor.microphone.settings
'''

EXAMPLES = r'''
- name: The microphones on the host
  vantor.microphone.info:
  register: found

- name: Say which ports hold one and what their buttons send
  ansible.builtin.debug:
    msg: "{{ item.port }}: {{ item.settings }}"
  loop: "{{ found.microphones }}"

- name: Only two given ports, waiting at most half a second for an answer
  vantor.microphone.info:
    port:
      - /dev/ttyACM0
      - /dev/ttyACM1
    timeout: 500
'''

RETURN = r'''
microphones:
  description: Each microphone that answered.
  returned: always
  type: list
  elements: dict
  contains:
    port:
      description: Its port.
      type: str
      sample: /dev/ttyACM0
    firmware:
      description: Its firmware version.
      type: str
      sample: '1.2'
    settings:
      description: The key each button sends (C(off) for none) and whether it mutes.
      type: dict
      sample: {"centre": "F8", "left": "off", "right": "F2", "mute": false}
problems:
  description: Each port that gave no microphone, with its state, a message and the remedies.
  returned: always
  type: list
  elements: dict
  sample: [{"port": "/dev/ttyACM1", "state": "absent", "message": "/dev/ttyACM1: absent",
            "remedies": []}]
'''

from ansible.module_utils.basic import AnsibleModule

from ansible_collections.vantor.microphone.plugins.module_utils.vantor_mic import (
    PORT_ARGUMENTS, SUCCESS, find_tool, port_options, run_tool)

# The tool's status when no microphone answered on a port it was to look at.
NO_MICROPHONE = 2


def main():
    module = AnsibleModule(argument_spec=dict(PORT_ARGUMENTS), supports_check_mode=True)
    tool = find_tool(module)
    rc, document, message, stderr = run_tool(module, tool, ['show'] + port_options(module.params))
    document = document or {}
    result = dict(changed=False, microphones=document.get('microphones', []),
                  problems=document.get('problems', []))
    if rc in (SUCCESS, NO_MICROPHONE) and 'microphones' in document:
        module.exit_json(**result)
    module.fail_json(msg=message, rc=rc, stderr=stderr, **result)


if __name__ == '__main__':
    main()
