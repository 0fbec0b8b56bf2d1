#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: Tagdesk contributors
# MIT License (see LICENSE in the Tagdesk sources)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
module: profile
short_description: Apply a reader profile to the readers a gateway reaches
version_added: 1.4.6
description:
  - Applies a Tagdesk reader profile (a TOML file, as C(tagdesk-cli read) or the
    window's Ctrl+S saves it) to every reader in I(readers), through
    C(tagdesk-cli write --only-differing --verify) run once on the managed host
    for all of them.
  - Each reader is read first, sent only the values it does not hold yet, and
    read back. A reader is C(changed) only where it differed, so a second run
    sends nothing and reports nothing changed.
  - In check mode nothing is written; C(tagdesk-cli verify) reads each reader
    and the result says which readers would change and how.
  - In diff mode each reader that differs shows each parameter that differed
    as the reader held it and as it holds it now (or, in check mode, would).
  - Each reader's own values (its IP address, reader number, MAC address) come
    from its item in I(readers), as a row of a C(tagdesk-cli) site file. A
    profile read from another reader never gives a reader that reader's own
    values; a profile read from this very reader (its MAC address) restores
    them.
  - The task fails when any reader failed (not reached, a value refused or not
    held after the write), naming each such reader and why; the other readers
    are written all the same, and every reader's outcome is in I(readers).
  - A profile that C(tagdesk-cli) refuses fails the task before anything is sent.
options:
  src:
    description:
      - The profile. On the controller (looked up as a role's or playbook's
        files are; a vault-encrypted file is decrypted), copied to the managed
        host for the task; or with I(remote_src=true), a path on the managed host.
    type: path
    required: true
  remote_src:
    description:
      - Whether I(src) is a path on the managed host.
    type: bool
    default: false
  readers:
    description:
      - The readers to apply the profile to. Each item is a port
        (C(tcp:192.168.1.201)), or a mapping of C(port) and the reader's own
        values by their profile names (C(ip_address), C(reader_number),
        C(mac_address), or any other parameter, C(communication_port.ip_address)
        in full), which go to that reader on top of the profile.
      - A value that is a list is given as its items apart by blanks
        (C(work_antennas), say).
    type: list
    elements: raw
    required: true
  parallel:
    description:
      - At most this many readers at once; by default all of them.
    type: int
extends_documentation_fragment:
  - tagdesk.readers.cli
  - action_common_attributes
  - action_common_attributes.files
  - action_common_attributes.flow
attributes:
  action:
    support: full
  async:
    support: none
  bypass_host_loop:
    support: none
  check_mode:
    support: full
  diff_mode:
    support: full
  platform:
    platforms: posix
  safe_file_operations:
    support: none
  vault:
    support: full
author:
  - Tagdesk contributors
'''

EXAMPLES = r'''
- name: Apply the site profile to the gateway's readers, each with its own address and number
  tagdesk.readers.profile:
    src: profiles/dock.toml
    readers: "{{ tagdesk_readers }}"
  # with, in the inventory:
  # tagdesk_readers:
  #   - {port: "tcp:192.168.1.201", ip_address: 192.168.10.1, reader_number: 1}
  #   - {port: "tcp:192.168.1.202", ip_address: 192.168.10.2, reader_number: 2}

- name: A profile already on the gateway, to two serial readers
  tagdesk.readers.profile:
    src: /etc/tagdesk/conveyor.toml
    remote_src: true
    readers: [COM1, COM2]

- name: Review first, writing nothing (run with --check --diff)
  tagdesk.readers.profile:
    src: profiles/dock.toml
    readers: "{{ tagdesk_readers }}"
  check_mode: true
  diff: true
'''

RETURN = r'''
readers:
  description: Every reader's outcome, in the order of I(readers).
  returned: always
  type: list
  elements: dict
  contains:
    port:
      description: The reader's port, as tagdesk-cli names it.
      type: str
      sample: tcp:192.168.1.201:4001
    changed:
      description: Whether the reader was sent values (in check mode, whether it would be).
      type: bool
    failed:
      description: Whether the reader failed.
      type: bool
    why:
      description: Why it failed; empty when it did not.
      type: str
      sample: connection refused
    identity:
      description:
        - Whether the profile was this reader's own (C(restored)) and why, and
          the reader's own values it kept (C(kept)); null where the profile and
          the reader's item give none of them.
      type: dict
    values:
      description:
        - Each parameter that was written (in check mode, that would be), or
          that failed, with C(name), C(source) (C(profile), or C(site) for the
          reader's item), C(before) (what the reader held), C(after) (what it
          holds now; in check mode, what it would hold) and C(result)
          (C(written), C(differs), C(failed), C(not_sent)). The parameters the
          reader held already are left out; M(tagdesk.readers.reader_info)
          gives them all.
      type: list
      elements: dict
failed_readers:
  description: Each reader that failed, with why.
  returned: always
  type: list
  elements: dict
  sample: [{"port": "tcp:192.168.1.203:4001", "why": "connection refused"}]
summary:
  description:
    - How many readers there were, how many are ok, failed and changed, and
      the seconds tagdesk-cli took over them.
  returned: always
  type: dict
  sample: {"readers": 3, "ok": 2, "failed": 1, "changed": 2, "seconds": 0.061}
'''

import json
import os

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.tagdesk.readers.plugins.module_utils.tagdesk_cli import (
    COMMON_ARGS, CliRun, check_rows, failure_message, reader_rows, readers_of, why_failed)


def shown(value):
    """A value as a line of the diff shows it: JSON, or a field's bytes."""
    if isinstance(value, dict) and 'bytes' in value:
        return 'bytes ' + value['bytes']
    return json.dumps(value)


def reader_outcome(reader, check_mode):
    """One reader of tagdesk-cli's JSON as the task returns it: its values that
    were (or in check mode would be) written, or that failed."""
    values = []
    for value in reader.get('values', []):
        if value['result'] in ('agrees', 'kept'):
            continue
        if check_mode:
            before, after = value['reader'], value['value']
        else:
            before = value.get('before')
            after = value['reader'] if value['reader'] is not None else value['value']
        values.append(dict(name=value['name'], source=value['source'], before=before, after=after,
                           result=value['result']))
    if check_mode:
        failed = not reader['reached'] or bool(reader['failures'])
        changed = bool(reader['differences'])
    else:
        failed = reader['result'] != 'ok'
        changed = reader.get('sent', 0) > 0
    return dict(port=reader['port'], changed=changed, failed=failed, identity=reader.get('identity'),
                values=values, reader=reader)


def reader_diff(outcome):
    """The reader's parameters that changed, as they were and as they are (or would be)."""
    lines = [(v['name'], shown(v['before']), shown(v['after'])) for v in outcome['values']]
    return dict(before_header=outcome['port'], after_header=outcome['port'],
                before=''.join('%s = %s\n' % (name, before) for name, before, dummy in lines),
                after=''.join('%s = %s\n' % (name, after) for name, dummy, after in lines))


def main():
    module = AnsibleModule(
        argument_spec=dict(
            src=dict(type='path', required=True),
            remote_src=dict(type='bool', default=False),
            readers=dict(type='list', elements='raw', required=True),
            parallel=dict(type='int'),
            **COMMON_ARGS
        ),
        supports_check_mode=True,
    )
    rows = reader_rows(module.params['readers'])
    check_rows(module, rows)
    src = module.params['src']
    if not os.path.isfile(src):
        module.fail_json(msg='profile %s: no such file on the managed host' % src)
    if not rows:
        module.exit_json(changed=False, readers=[], failed_readers=[],
                         summary=dict(readers=0, ok=0, failed=0, changed=0, seconds=0))

    with CliRun(module) as run:
        args = [src] + run.reader_args(rows)
        if module.params['parallel']:
            args += ['--parallel', str(module.params['parallel'])]
        if module.check_mode:
            command = 'verify'
        else:
            command = 'write'
            args += ['--only-differing', '--verify']
        dummy, objects, dummy = run.run(command, args)
    seconds = objects[-1].get('seconds')

    outcomes = [reader_outcome(r, module.check_mode) for r in readers_of(objects)]
    for outcome in outcomes:
        reader = outcome.pop('reader')
        outcome['why'] = why_failed(reader) if outcome['failed'] else ''
    failed = [dict(port=o['port'], why=o['why']) for o in outcomes if o['failed']]
    result = dict(
        changed=any(o['changed'] for o in outcomes),
        readers=outcomes,
        failed_readers=failed,
        summary=dict(readers=len(outcomes), ok=len(outcomes) - len(failed), failed=len(failed),
                     changed=sum(1 for o in outcomes if o['changed']), seconds=seconds),
    )
    if module._diff:
        result['diff'] = [reader_diff(o) for o in outcomes if o['changed']]
    if failed:
        module.fail_json(msg=failure_message('tagdesk-cli ' + command, failed, len(outcomes)), **result)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
