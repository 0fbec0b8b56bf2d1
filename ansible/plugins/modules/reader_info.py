#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: Tagdesk contributors
# MIT License (see LICENSE in the Tagdesk sources)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
module: reader_info
short_description: Read the settings of the readers a gateway reaches
version_added: 1.4.6
description:
  - Reads every parameter of each reader in I(readers), all at once, through
    C(tagdesk-cli read --json) run once on the managed host, and returns each
    reader's settings as structured data, the profile's sections (C(reader),
    C(antenna_power), C(frequency), C(communication_port), ...) with their values,
    as a profile file holds them.
  - For facts, reports and templates; nothing is written to any reader.
  - The task fails when a reader cannot be read whole, naming it and why; the
    others are returned all the same.
options:
  readers:
    description:
      - The readers to read. Each item is a port (C(tcp:192.168.1.201)) or a
        mapping with a C(port), so the list the M(tagdesk.readers.profile)
        module takes serves here too (other keys are not used).
    type: list
    elements: raw
    required: true
extends_documentation_fragment:
  - tagdesk.readers.cli
  - action_common_attributes
attributes:
  check_mode:
    support: full
  diff_mode:
    support: none
  platform:
    platforms: posix
author:
  - Tagdesk contributors
'''

EXAMPLES = r'''
- name: Read the gateway's readers
  tagdesk.readers.reader_info:
    readers: "{{ tagdesk_readers }}"
  register: held

- name: Each reader's power of channel 1
  ansible.builtin.debug:
    msg: "{{ item.port }}: {{ item.profile.antenna_power.channel1_power }} dBm"
  loop: "{{ held.readers }}"

- name: One reader's IP address, by its port
  ansible.builtin.debug:
    msg: "{{ held.profiles['tcp:192.168.1.201:4001'].communication_port.ip_address }}"
'''

RETURN = r'''
readers:
  description: Every reader, in the order of I(readers).
  returned: always
  type: list
  elements: dict
  contains:
    port:
      description: The reader's port, as tagdesk-cli names it.
      type: str
      sample: tcp:192.168.1.201:4001
    failed:
      description: Whether the reader could not be read whole.
      type: bool
    why:
      description: Why not; empty when it was.
      type: str
    profile:
      description:
        - The reader's settings, by section and parameter name, as a profile
          file holds them (C(format) gives the profile format); null when the
          reader could not be read whole.
      type: dict
      sample: {"format": 1, "antenna_power": {"channel1_power": "30", "work_antennas": ["antenna1"]}}
profiles:
  description: The settings of every reader read whole, by port.
  returned: always
  type: dict
failed_readers:
  description: Each reader that could not be read whole, with why.
  returned: always
  type: list
  elements: dict
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.tagdesk.readers.plugins.module_utils.tagdesk_cli import (
    COMMON_ARGS, CliRun, check_rows, failure_message, reader_rows, readers_of, why_failed)


def main():
    module = AnsibleModule(
        argument_spec=dict(readers=dict(type='list', elements='raw', required=True), **COMMON_ARGS),
        supports_check_mode=True,
    )
    rows = [(port, {}) for port, dummy in reader_rows(module.params['readers'])]
    check_rows(module, rows)
    readers = []
    if rows:
        with CliRun(module) as run:
            dummy, objects, dummy = run.run('read', run.reader_args(rows))
        for reader in readers_of(objects):
            failed = reader['result'] != 'ok'
            readers.append(dict(port=reader['port'], failed=failed, why=why_failed(reader) if failed else '',
                                profile=reader.get('profile')))
    failed = [dict(port=r['port'], why=r['why']) for r in readers if r['failed']]
    result = dict(changed=False, readers=readers, failed_readers=failed,
                  profiles=dict((r['port'], r['profile']) for r in readers if not r['failed']))
    if failed:
        module.fail_json(msg=failure_message('tagdesk-cli read', failed, len(readers)), **result)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
