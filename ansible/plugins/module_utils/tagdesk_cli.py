# -*- coding: utf-8 -*-
# Copyright: Tagdesk contributors
# MIT License (see LICENSE in the Tagdesk sources)
"""What the collection's modules share: running tagdesk-cli --json once for
all the gateway's readers, the readers option, the site file of per-reader
values, and how a reader's outcome reads in a result."""

from __future__ import absolute_import, division, print_function
__metaclass__ = type

import csv
import json
import os
import tempfile

# tagdesk-cli's exit status for a refused command line or profile: nothing was sent.
REFUSED = 2

# Options every module takes (the doc fragment tagdesk.readers.cli describes them).
COMMON_ARGS = dict(
    cli=dict(type='str', default='tagdesk-cli'),
    station=dict(type='str'),
)


def reader_rows(readers):
    """The readers option as (port, own values) pairs: an item is a port, or a
    mapping of a port and the reader's own values (ip_address, reader_number, ...)."""
    rows = []
    for item in readers:
        if isinstance(item, dict):
            values = dict((str(k), v) for k, v in item.items() if k != 'port' and v is not None)
            rows.append((str(item.get('port', '')), values))
        else:
            rows.append((str(item), {}))
    return rows


def check_rows(module, rows):
    """Fails the task before anything runs when a reader has no port or is named twice."""
    seen = set()
    for port, dummy in rows:
        if not port:
            module.fail_json(msg='every reader needs a port: %r' % (rows,))
        if port in seen:
            module.fail_json(msg='reader %s is given twice' % port)
        seen.add(port)


def site_cell(value):
    """A value as a site file's cell takes it: true/false, a list's items apart by blanks."""
    if isinstance(value, bool):
        return 'true' if value else 'false'
    if isinstance(value, (list, tuple)):
        return ' '.join(site_cell(item) for item in value)
    return str(value)


class CliRun(object):
    """One run of tagdesk-cli --json in a private folder that holds its port
    list and site file, removed afterwards."""

    def __init__(self, module):
        self.module = module
        self.folder = tempfile.mkdtemp(prefix='tagdesk-')

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        for name in os.listdir(self.folder):
            os.remove(os.path.join(self.folder, name))
        os.rmdir(self.folder)

    def file(self, name, text):
        path = os.path.join(self.folder, name)
        with open(path, 'w') as out:
            out.write(text)
        return path

    def reader_args(self, rows):
        """--ports-from for every reader, and --site when any has values of its own."""
        args = ['--ports-from', self.file('ports', ''.join(port + '\n' for port, dummy in rows))]
        columns = []
        for dummy, values in rows:
            columns.extend(name for name in values if name not in columns)
        if columns:
            path = os.path.join(self.folder, 'site.csv')
            with open(path, 'w', newline='') as out:
                writer = csv.writer(out, lineterminator='\n')
                writer.writerow(['port'] + columns)
                for port, values in rows:
                    writer.writerow([port] + [site_cell(values[c]) if c in values else '' for c in columns])
            args += ['--site', path]
        return args

    def run(self, command, args):
        """Runs tagdesk-cli COMMAND ARGS --json; returns (exit status, its JSON
        objects, standard error). A refused command line or profile fails the task."""
        module = self.module
        cli = module.params['cli']
        if os.sep not in cli:
            cli = module.get_bin_path(cli, required=True)
        argv = [cli, command] + list(args) + ['--json']
        if module.params.get('station'):
            argv += ['--station', module.params['station']]
        rc, out, err = module.run_command(argv, environ_update={'LC_ALL': 'C'})
        if rc == REFUSED:
            module.fail_json(msg='tagdesk-cli %s refused, nothing was sent: %s' % (command, err.strip()),
                             rc=rc, stderr=err, cmd=argv)
        objects = []
        for line in out.splitlines():
            try:
                objects.append(json.loads(line))
            except ValueError:
                module.fail_json(msg='tagdesk-cli %s printed a line that is no JSON: %s' % (command, line),
                                 rc=rc, stderr=err, cmd=argv)
        if not objects or objects[-1].get('type') != 'summary':
            module.fail_json(msg='tagdesk-cli %s stopped: %s' % (command, err.strip() or 'no summary'),
                             rc=rc, stderr=err, cmd=argv)
        return rc, objects, err


def readers_of(objects):
    return [o for o in objects if o.get('type') == 'reader']


def why_failed(reader):
    """Why one reader failed, in a line: not reached, failed calls, values that still differ."""
    if not reader.get('reached', False):
        return reader.get('reason') or 'not reached'
    reasons = ['%s: %s' % (f['name'], f['reason']) if f.get('name') else f['reason']
               for f in reader.get('failures', [])]
    if reader.get('not_sent'):
        reasons.append('interrupted: %d values not sent' % len(reader['not_sent']))
    if reader.get('differences') and reader.get('result') != 'ok':
        reasons.append('still differs: ' + ', '.join(d['name'] for d in reader['differences']))
    return '; '.join(reasons) or reader.get('result', 'failed')


def failure_message(what, failed, total):
    return '%s: %d of %d readers failed: %s' % (
        what, len(failed), total, '; '.join('%s (%s)' % (f['port'], f['why']) for f in failed))
