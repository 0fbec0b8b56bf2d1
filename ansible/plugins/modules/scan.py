#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: Tagdesk contributors
# MIT License (see LICENSE in the Tagdesk sources)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
module: scan
short_description: Find the readers on a gateway's ports or in an address range
version_added: 1.4.6
description:
  - Asks every port in I(ports) (or, without any, the managed host's serial
    ports C(COM1) to C(COM8) and its USB port) for the firmware version of each
    station, all ports at once, through C(tagdesk-cli scan --json), and returns
    the readers that answer.
  - A reader is sent nothing else, so its RF work goes on. Finding none is no failure.
options:
  ports:
    description:
      - Ports and address ranges to look at, as C(tagdesk-cli --port) takes
        them, such as C(tcp:192.168.1.0/24), C(tcp:192.168.1.10-192.168.1.50:5000),
        C(tcp:192.168.1.201), C(COM3) or C(usb).
    type: list
    elements: str
    default: []
  parallel:
    description:
      - At most this many ports looked at at once (C(tagdesk-cli)'s default is 256).
    type: int
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
- name: The readers of the site network
  tagdesk.readers.scan:
    ports: ["tcp:192.168.1.0/24"]
  register: site

- name: Read every reader found
  tagdesk.readers.reader_info:
    readers: "{{ site.found | map(attribute='port') | list }}"
'''

RETURN = r'''
found:
  description: Each reader that answered.
  returned: always
  type: list
  elements: dict
  contains:
    port:
      description: Its port, as tagdesk-cli names it.
      type: str
      sample: tcp:192.168.1.201:4001
    station:
      description: The station it answered on, 1 to 10; null when asked with I(station=any).
      type: int
    firmware:
      description: Its firmware version.
      type: str
      sample: 1.4.0.6
ports:
  description: How many ports were looked at.
  returned: always
  type: int
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.tagdesk.readers.plugins.module_utils.tagdesk_cli import COMMON_ARGS, CliRun, readers_of


def main():
    module = AnsibleModule(
        argument_spec=dict(ports=dict(type='list', elements='str', default=[]), parallel=dict(type='int'),
                           **COMMON_ARGS),
        supports_check_mode=True,
    )
    args = []
    for port in module.params['ports']:
        args += ['--port', port]
    if module.params['parallel']:
        args += ['--parallel', str(module.params['parallel'])]
    with CliRun(module) as run:
        dummy, objects, dummy = run.run('scan', args)
    found = [dict(port=r['port'], station=r['station'], firmware=r['firmware']) for r in readers_of(objects)]
    module.exit_json(changed=False, found=found, ports=objects[-1].get('ports', 0))


if __name__ == '__main__':
    main()
